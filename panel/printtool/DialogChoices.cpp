#include "DialogChoices.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

namespace kordavine::printtool {

namespace {

// The print-engine property under which Qt's dialog keeps the CUPS options it sets itself, as
// a list of names and values, one after the other.
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

std::string mediaOf(const QPageSize& size) {
    if (size.id() != QPageSize::Custom) return size.key().toStdString();
    // CUPS reads a custom size as Custom.WIDTHxLENGTH with a unit.
    const QSizeF points = size.size(QPageSize::Point);
    return "Custom." + QString::number(points.width()).toStdString() + "x" +
           QString::number(points.height()).toStdString() + "pt";
}

}  // namespace

DialogChoices choicesOf(QPrinter& printer) {
    DialogChoices choices;
    choices.copies = printer.copyCount();
    choices.collate = printer.collateCopies();
    switch (printer.duplex()) {
        case QPrinter::DuplexNone:
            choices.sides.emplace("one-sided");
            break;
        case QPrinter::DuplexLongSide:
            choices.sides.emplace("two-sided-long-edge");
            break;
        case QPrinter::DuplexShortSide:
            choices.sides.emplace("two-sided-short-edge");
            break;
        case QPrinter::DuplexAuto:
            break;
    }
    const QPageLayout layout = printer.pageLayout();
    if (layout.pageSize().isValid()) choices.media = mediaOf(layout.pageSize());
    // Constructed in place: GCC 12 misreads assigning a literal to the optional as an
    // overlapping copy (-Wrestrict).
    choices.orientation.emplace(layout.orientation() == QPageLayout::Landscape ? "4" : "3");
    choices.outputOrder.emplace(printer.pageOrder() == QPrinter::LastPageFirst ? "reverse"
                                                                               : "normal");
    if (printer.printRange() == QPrinter::PageRange && !printer.pageRanges().isEmpty()) {
        choices.pageRanges = printer.pageRanges().toString().toStdString();
    }
    const QStringList cups = printer.printEngine()->property(kCupsOptionsProperty).toStringList();
    for (qsizetype i = 0; i + 1 < cups.size(); i += 2) {
        // An empty value (no billing text) is no choice.
        if (!cups[i].isEmpty() && !cups[i + 1].isEmpty()) {
            choices.cupsOptions[cups[i].toStdString()] = cups[i + 1].toStdString();
        }
    }
    return choices;
}

}  // namespace kordavine::printtool
