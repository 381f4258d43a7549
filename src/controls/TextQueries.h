// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QString>

// A screen reader's question about a piece of a single-line text: the character,
// word, sentence or line at, before or after an offset. Qt 6.4's own answer spins
// for good on the word or sentence at the end of the text, which a screen reader
// asks on every Ctrl+Right; these fields only hold numbers and names, so a word,
// sentence or line is the whole text.
enum class TextQuery { At, Before, After };

// Returns the piece and sets `start` and `end` to its offsets, or to -1 and -1 where
// there is none. `offset` -1 stands for the end of `text`, -2 for the caret at `caret`.
QString AnswerTextQuery(const QString& text, int caret, int offset, QAccessible::TextBoundaryType boundary,
                        TextQuery query, int* start, int* end);
