#include "render/pageflow.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// The page's units at its design resolution: Arial 10 of 600 dpi, a column of 12 pixels.
constexpr double kDesignDpi = 600;
constexpr double kColumnPixels = 12;

// Body text, Arial 10, as measured at the design resolution. Each table
// measures with its own metrics: batch runs lay out pages on many threads.
QFontMetricsF bodyMetrics()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(10 * kDesignDpi / 72)));
    return QFontMetricsF(font);
}

// The columns where each column's cells start: no earlier than designed,
// and a blank clear of the widest cell of the column to its left.
std::vector<int> fittedColumns(const std::vector<std::vector<QString>> &rows, std::vector<int> columns)
{
    const QFontMetricsF metrics = bodyMetrics();
    auto inColumns = [&metrics](const QString &text) { return metrics.horizontalAdvance(text) / kColumnPixels; };
    const double blank = inColumns(QStringLiteral(" "));
    for (size_t c = 1; c < columns.size(); ++c) {
        double widest = 0;
        for (const std::vector<QString> &row : rows)
            if (c - 1 < row.size())
                widest = std::max(widest, inColumns(row[c - 1]));
        columns[c] = std::max(columns[c], static_cast<int>(std::ceil(columns[c - 1] + widest + blank)));
    }
    return columns;
}

// The lines of `text` from `column` to the body's last column, broken at
// blanks; a word longer than the room keeps a line to itself.
std::vector<QString> wrapped(const QString &text, int column)
{
    // Measured as drawn: 10 points of a 7200-unit inch, columns of 144 units.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(1000);
    const QFontMetricsF metrics(font);
    const double room = (kLastBodyColumn - column) * 144.0;
    std::vector<QString> lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > room) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    lines.push_back(line);
    return lines;
}

PageRow cellsRow(const std::vector<QString> &cells, const std::vector<int> &columns)
{
    PageRow row;
    for (size_t i = 0; i < cells.size() && i < columns.size(); ++i)
        row.push_back({0, columns[i], cells[i]});
    return row;
}

} // namespace

PageBlock TextBlock(const std::vector<QString> &lines, int column, int gapBefore)
{
    PageBlock block;
    block.gapBefore = gapBefore;
    for (const QString &text : lines)
        for (const QString &part : wrapped(text, column))
            block.rows.push_back({{0, column, part}});
    return block;
}

PageBlock CellsBlock(const std::vector<std::vector<QString>> &rows, const std::vector<int> &columns, int gapBefore)
{
    const std::vector<int> fitted = fittedColumns(rows, columns);
    PageBlock block;
    block.gapBefore = gapBefore;
    for (const std::vector<QString> &cells : rows)
        block.rows.push_back(cellsRow(cells, fitted));
    return block;
}

PageBlock TableBlock(const QString &title, const std::vector<std::vector<QString>> &rows,
                     const std::vector<int> &columns, int gapBefore)
{
    PageBlock block = CellsBlock(rows, columns, gapBefore);
    block.rows.insert(block.rows.begin(), {PageRow{{0, PageText::kCentred, title}}, PageRow{}});
    block.heading = 2;
    block.keep = 4;
    return block;
}

PageFlow::PageFlow(int firstLine, int lastLine, std::function<void(PageBody &)> finish)
    : first_(firstLine), last_(lastLine), finish_(std::move(finish)), line_(firstLine)
{
}

void PageFlow::newPage()
{
    finish_(body_);
    pages_.push_back(std::move(body_));
    body_ = {};
    line_ = first_;
    blank_ = true;
}

void PageFlow::put(const PageRow &row)
{
    for (PageText text : row) {
        text.line = line_;
        body_.push_back(std::move(text));
    }
    ++line_;
    blank_ = false;
}

void PageFlow::add(const PageBlock &block)
{
    if (block.rows.empty())
        return;
    if (block.startsPage && !blank_)
        newPage();
    const int rows = static_cast<int>(block.rows.size());
    const int keep = block.keep < 0 ? rows : std::min(block.keep, rows);
    if (!blank_ && line_ + block.gapBefore + keep - 1 > last_)
        newPage();
    if (!blank_)
        line_ += block.gapBefore;
    for (int i = 0; i < rows; ++i) {
        if (line_ > last_) {
            newPage();
            if (block.heading >= 0 && i > block.heading)
                put(block.rows[static_cast<size_t>(block.heading)]);
        }
        put(block.rows[static_cast<size_t>(i)]);
    }
}

std::vector<PageBody> PageFlow::pages()
{
    newPage();
    return std::move(pages_);
}

} // namespace render
