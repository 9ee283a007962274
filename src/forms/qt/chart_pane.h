// A chart's data drawn with Qt Charts: axes labelled where the data says
// (a log scale drawn as such, titles with units), one colour and one dash
// pattern per series so that they part in grey too, each marked point a
// shape of its own in the legend, the shaded stretch behind, and a tooltip
// with each point's exact figures. Under it the chart's note and Copy
// image, Save as PNG, SVG and CSV.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

#include "forms/chart.h"

class QPalette;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace fortelle {

class Dialogs;
class FileSystem;

// The Qt chart of `data`, in colours that read on `palette`'s window (light
// or dark). The caller owns it.
QChart* BuildChart(const forms::Chart& data, const QPalette& palette);

class ChartPane final : public QWidget {
    Q_OBJECT

public:
    ChartPane(forms::Chart data, FileSystem& files, Dialogs& dialogs, QWidget* parent = nullptr);

    const forms::Chart& data() const { return data_; }
    QChartView* view() const { return view_; }
    // The chart as drawn, at the screen's pixel ratio; as PNG and SVG bytes.
    QImage image() const;
    QByteArray png() const;
    QByteArray svg() const;

private:
    void save(const std::string& what, const std::string& extension, const std::string& bytes);

    forms::Chart data_;
    FileSystem& files_;
    Dialogs& dialogs_;
    QChartView* view_ = nullptr;
};

} // namespace fortelle
