// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QStaticText>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QLineEdit;
class QPushButton;
class QStyleOptionButton;
class QPainter;
class QWidget;

// Draws number cells the way a line edit of the current style draws itself, without a
// widget for each: a thousand line edits cost a frame and more to paint, a picture of
// the style's panel and a prepared text a fraction of that. One painter serves every
// board of a view; its owner drops what it keeps when the style, palette or font
// changes. Activation and scale are part of every picture's key.
class CellPainter {
public:
    CellPainter();
    ~CellPainter();
    CellPainter(const CellPainter&) = delete;
    CellPainter& operator=(const CellPainter&) = delete;

    // Where a line edit of this size and font shows one line of text: the clip (its
    // contents less the line edit's own margin) and the top of the line.
    struct TextPlace {
        QRect Clip;
        int LineTop = 0;
    };
    TextPlace PlaceText(const QWidget* host, QSize size, const QFont& font);

    // What every panel of one paint shares, looked up once per paint.
    struct Frame {
        const QWidget* Host = nullptr;
        qreal Ratio = 1.0; // of the device really painted on
        bool Active = false;
        quint64 Look = 0; // the host's style, palette and font
    };
    // `look` is LookOf(host), which its owner keeps between changes of style, palette
    // and font: working it out costs more than a cell.
    static Frame FrameOf(const QPainter& painter, const QWidget* host, quint64 look);
    static quint64 LookOf(const QWidget* widget);

    // The cell's frame and background; `base` is its background colour. A disabled
    // panel is a cell that holds no number; a focused one is the cell being edited.
    void PaintPanel(QPainter& painter, const Frame& frame, const QRect& rect, QColor base, bool enabled,
                    bool focused = false);

    // A whole cell, panel and number, from a picture kept per text, colours, size and
    // scale: a board view shows the same hundred-odd numbers over and over.
    void PaintCell(QPainter& painter, const Frame& frame, const QRect& rect, QColor base, QColor ink,
                   const QFont& font, const QString& text);

    // A one-line caption such as "Brett 123456" at `at` (the top of its line). Laying
    // out a new text costs more than drawing it, and every step of the view brings new
    // numbers; so the words are laid out once and the digits one by one.
    void PaintCaption(QPainter& painter, QPointF at, const QFont& font, const QString& text);

    // How a text is shown in a cell of this size and font without the focus: whole, at
    // the font or smaller down to a legible size, else its start and an ellipsis.
    struct Shown {
        QStaticText Text;
        QFont Font; // the cell's font, or a smaller one
        QPointF At; // relative to the cell's top left
        bool Whole = true;
    };
    Shown Show(const QWidget* host, QSize size, const QFont& font, const QString& text);

    // A push button as its style draws it, from a picture kept per look: the boards'
    // delete buttons are many and all look alike.
    // `frame` is its board's, whose style, palette and font it has.
    void PaintButton(QPainter& painter, const Frame& frame, QPoint at, const QPushButton* button,
                     const QStyleOptionButton& option);

    // Forgets every picture and measure; the next paint makes them again.
    void Invalidate();

private:
    QLineEdit* prototype(const QWidget* host, QSize size, const QFont& font);

    std::unique_ptr<QLineEdit> m_prototype;
    // What a kept picture shows: its text, two colours (a cell's background and ink) or
    // flags (a button's state and features),
    // and its look: size, scale and activation, then the style, palette and font drawn with.
    struct PictureKey {
        QString Text;
        quint32 First;
        quint32 Second;
        quint64 Look;
        quint64 Style;
        bool operator==(const PictureKey&) const = default;
    };
    friend size_t qHash(const PictureKey& key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.Text, key.First, key.Second, key.Look, key.Style);
    }

    QHash<PictureKey, QPixmap> m_panels; // the background, and the state
    QHash<PictureKey, QPixmap> m_buttons; // the text, and the look: state, size and scale
    QHash<PictureKey, QPixmap> m_cells;
    QHash<QString, Shown> m_shown; // texts at the cell font; nearly every cell shows 00 to 99
    QFont m_shownFont;
    struct Piece {
        QStaticText Text;
        qreal Advance = 0;
    };
    QHash<QString, Piece> m_pieces; // words at m_piecesFont
    std::array<Piece, 10> m_digits; // 0 to 9 at m_piecesFont, made as first drawn
    Piece& piece(QStringView text, const QFont& font);
    QFont m_piecesFont;
    QSize m_shownSize;
    QHash<QString, TextPlace> m_places;
};
