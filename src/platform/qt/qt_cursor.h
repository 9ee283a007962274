// The pointer while a click works: the wait cursor for as long as a handler
// computes, the ordinary pointer while one of its dialogs waits for the user.
#pragma once

#include <QGuiApplication>

namespace fortelle {

class CursorWhile {
public:
    explicit CursorWhile(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }
    ~CursorWhile() { QGuiApplication::restoreOverrideCursor(); }
    CursorWhile(const CursorWhile&) = delete;
    CursorWhile& operator=(const CursorWhile&) = delete;
};

} // namespace fortelle
