// The modal input prompt as a small Qt dialog.
#pragma once

#include <functional>

#include "platform/prompt.h"

class QWidget;
class QDialog;

namespace fortelle {

class QtPrompt final : public Prompt {
public:
    explicit QtPrompt(QWidget* parent) : parent_(parent) {}

    std::optional<std::string> ask(std::string_view title, std::string_view message,
                                   std::string_view defaultText) override;

    // Called with each prompt just before it runs, so that tests and
    // scripted runs can answer it.
    std::function<void(QDialog&)> onShow;

private:
    QWidget* parent_;
};

} // namespace fortelle
