// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ReportRequest.h"

#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <functional>

// Writes the PDF report a request asks for: a header with the date, every board as
// the program draws it with its hits in words, "Page N of M", and check's summary.
// The boards are read one at a time, twice (the first pass counts the pages), so
// memory does not grow with their number. SOURCE_DATE_EPOCH, when set, is the
// date the report states and the PDF's creation date, so the same boards give the
// same bytes. Needs a QGuiApplication. Throws ZanvoError.
void WriteReport(const ReportRequest& request);

// Where the report puts boards, in points (1/72 inch) from the top left corner of
// a page. Boards flow left to right, then down, then onto the next page, in list
// order; a board too tall for a page goes on across pages, alone in its rows.
class ReportLayout {
public:
    static constexpr double CellSize = 22;
    static constexpr double CellGap = 3;
    static constexpr int CellsPerRow = 5;

    // onNewPage runs whenever the flow moves to another page.
    ReportLayout(ReportPaper paper, bool withHits, std::function<void()> onNewPage = {});

    double PageWidth() const noexcept { return m_width; }
    double PageHeight() const noexcept { return m_height; }
    int Page() const noexcept { return m_page; } // from 1

    // The top left of the next board of `cells` numbers and `hitLines` lines of
    // hits (its caption), after moving to a new row or page if it would not fit
    // where the flow is.
    QPointF StartBoard(std::size_t cells, int hitLines = 1);
    // The board ended at `bottom` (on the current page; a board taller than a page
    // moves the flow on with NewPage while it is drawn). The next one goes beside
    // it or below.
    void EndBoard(double bottom);
    // The top of a block of `height` below every board, on a new page if needed.
    double Block(double height);
    // Moves the flow onto a new page, at its top; onNewPage may take a block there.
    void NewPage();
    // The top of the area for boards on the current page.
    double Top() const noexcept { return m_page == 1 ? Margin + HeaderHeight : Margin; }

    // Cell `cell` of a board whose caption is at `board`, for a board that fits on
    // a page.
    static QRectF CellRect(const QPointF& board, std::size_t cell);

    // Bands of the page.
    double ContentLeft() const noexcept { return Margin; }
    double ContentWidth() const noexcept { return m_width - 2 * Margin; }
    double ContentBottom() const noexcept { return m_height - Margin - FooterHeight; }
    double HeaderTop() const noexcept { return Margin; }
    double FooterTop() const noexcept { return m_height - Margin - FooterText; }
    double BoardWidth() const noexcept { return CellsPerRow * CellSize + (CellsPerRow - 1) * CellGap; }
    double HitsHeight(int lines = 1) const noexcept { return m_withHits ? lines * HitLine : 0; }

    static constexpr double Margin = 36;
    static constexpr double HeaderHeight = 56; // first page only
    static constexpr double FooterText = 12;
    static constexpr double FooterHeight = 20;
    static constexpr double CaptionHeight = 15;
    static constexpr double HitLine = 14;
    static constexpr double BoardGap = 12;
    static constexpr double ColumnGap = 10;

    // A board of `cells` numbers that fits on a page, caption to last hit line.
    double BoardHeight(std::size_t cells, int hitLines = 1) const noexcept;

private:

    double m_width = 0;
    double m_height = 0;
    bool m_withHits = false;
    int m_columns = 1;
    double m_columnStep = 0;
    std::function<void()> m_onNewPage;
    int m_page = 1;
    int m_column = 0;
    double m_rowTop = 0;
    double m_rowBottom = 0;
    int m_boardPage = 1;
    bool m_inBlocks = false;
    double m_cursor = 0;
};
