// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextQueries.h"

namespace {

QString piece(const QString& text, int from, int to, int* start, int* end)
{
    if (from < 0 || to > text.size() || from >= to) {
        *start = *end = -1;
        return {};
    }
    *start = from;
    *end = to;
    return text.mid(from, to - from);
}

} // namespace

QString AnswerTextQuery(const QString& text, int caret, int offset, QAccessible::TextBoundaryType boundary,
                        TextQuery query, int* start, int* end)
{
    const int length = static_cast<int>(text.size());
    if (offset == -2)
        offset = caret;
    else if (offset == -1)
        offset = length;
    if (offset < 0 || offset > length)
        return piece(text, 0, 0, start, end);

    if (boundary == QAccessible::CharBoundary) {
        switch (query) {
        case TextQuery::At:
            return piece(text, offset, offset + 1, start, end);
        case TextQuery::Before:
            return piece(text, offset - 1, offset, start, end);
        case TextQuery::After:
            return piece(text, offset + 1, offset + 2, start, end);
        }
    }
    // The whole text is the one word, sentence and line: nothing lies before or after it.
    if (query != TextQuery::At)
        return piece(text, 0, 0, start, end);
    return piece(text, 0, length, start, end);
}
