// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/BoardFileStream.h"

#include "board/BoardFile.h"
#include "board/BoardFileIO.h"
#include "board/ZanvoError.h"

#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <vector>

namespace {

QByteArray ints(std::initializer_list<std::int32_t> values)
{
    QByteArray out;
    for (const std::int32_t v : values)
        for (int b = 0; b < 4; ++b)
            out += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * b)) & 0xffu);
    return out;
}

// What one reader made of the bytes: the boards, or the error number.
struct Outcome {
    std::vector<clsBoard> boards;
    std::optional<int> error;
    QString message;
};

Outcome decoded(const QByteArray& bytes)
{
    Outcome o;
    try {
        const BoardsRef list = DecodeBoards(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
        for (const auto& b : *list)
            o.boards.push_back(*b);
    } catch (const ZanvoError& e) {
        o.error = e.Number();
    }
    return o;
}

Outcome streamed(const QString& path)
{
    Outcome o;
    try {
        BoardFileStream stream(path);
        clsBoard board;
        while (stream.Next(board)) {
            if (stream.Position() != static_cast<std::int32_t>(o.boards.size()) + 1)
                throw std::logic_error("positions out of step");
            o.boards.push_back(board);
        }
        if (stream.BoardCount() != static_cast<std::int32_t>(o.boards.size()))
            throw std::logic_error("count and boards disagree");
    } catch (const ZanvoError& e) {
        o.error = e.Number();
        o.message = QString::fromStdString(e.Description());
    }
    return o;
}

// The same through the in-place blocks that show and check read.
Outcome streamedInPlace(const QString& path)
{
    Outcome o;
    try {
        BoardFileStream stream(path);
        BoardBlock run;
        std::vector<BoardEntry> entries;
        while (stream.NextBoard()) {
            clsBoard board;
            while (stream.NextEntries(run)) {
                run.CopyTo(entries);
                for (const BoardEntry& e : entries)
                    board.AppendNumber(e.Number, e.Colour);
            }
            o.boards.push_back(board);
        }
    } catch (const ZanvoError& e) {
        o.error = e.Number();
        o.message = QString::fromStdString(e.Description());
    }
    return o;
}

void compareOutcomes(const Outcome& stream, const Outcome& whole)
{
    QCOMPARE(stream.error, whole.error);
    if (whole.error)
        return; // the stream may have handed out the boards before the damage
    QCOMPARE(stream.boards.size(), whole.boards.size());
    for (std::size_t i = 0; i < stream.boards.size(); ++i)
        QVERIFY(stream.boards[i] == whole.boards[i]);
}

} // namespace

class tst_BoardFileStream : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void acceptsWhatDecodeBoardsAccepts_data();
    void acceptsWhatDecodeBoardsAccepts();
    void boardLargerThanABuffer();
    void missingFileAndFolder();

private:
    QTemporaryDir m_dir;
    int m_files = 0;
};

void tst_BoardFileStream::acceptsWhatDecodeBoardsAccepts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray example = ints({1, 1, 7, CellWhite, 12, CellGreen});
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("empty list") << ints({0});
    QTest::newRow("worked example") << example;
    QTest::newRow("bytes after the last block") << example + QByteArray("junk", 4);
    QTest::newRow("count below zero, junk after") << ints({-3, 99, 99});
    QTest::newRow("board without numbers") << ints({2, -1, 0, 5, 0});
    QTest::newRow("too short for a count") << QByteArray("\x01\x00", 2);
    QTest::newRow("ends inside the second board") << ints({2, 0, 5, 0, 3, 1, 2});
    QTest::newRow("ends inside a count") << ints({2, 0, 5, 0}) + QByteArray("\x01", 1);
    QTest::newRow("negative number count") << ints({1, -2, 0, 0});
    QTest::newRow("number count beyond the file") << ints({1, 1000, 1, 2});
    QTest::newRow("number count at the 32-bit limit") << ints({1, 2147483647, 1, 2});
    QTest::newRow("board count beyond the file") << ints({100000, 0, 1, 2});
}

void tst_BoardFileStream::acceptsWhatDecodeBoardsAccepts()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("f%1.dat").arg(++m_files));
    WriteBytes(path, bytes);
    const Outcome stream = streamed(path);
    compareOutcomes(stream, decoded(bytes));
    compareOutcomes(streamedInPlace(path), decoded(bytes));
    if (stream.error) {
        // The words of the program's own reader, which adds that nothing was opened.
        QString whole;
        try {
            ReadBoardFile(path);
        } catch (const ZanvoError& e) {
            whole = QString::fromStdString(e.Description());
        }
        QVERIFY2(whole.startsWith(stream.message), qPrintable(stream.message + QLatin1Char('|') + whole));
    }
}

void tst_BoardFileStream::boardLargerThanABuffer()
{
    // 300000 entries take 2.4 MB, more than one read; small boards around it.
    clsBoardCollection list;
    auto small = std::make_shared<clsBoard>();
    small->AppendNumber(1, CellGreen);
    list.Add(small);
    auto big = std::make_shared<clsBoard>();
    big->AllocateNumbers(299999);
    for (std::int32_t i = 0; i <= big->NumberCount(); ++i)
        big->Numbers(i, i * 7);
    list.Add(big);
    list.Add(small);
    const std::vector<std::uint8_t> bytes = EncodeBoards(list);
    const QString path = m_dir.filePath(QStringLiteral("big.dat"));
    WriteBytes(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));

    const Outcome stream = streamed(path);
    QVERIFY(!stream.error);
    QCOMPARE(stream.boards.size(), std::size_t(3));
    QVERIFY(stream.boards[0] == *small);
    QVERIFY(stream.boards[1] == *big);
    QVERIFY(stream.boards[2] == *small);
}

void tst_BoardFileStream::missingFileAndFolder()
{
    const QString missing = m_dir.filePath(QStringLiteral("none.dat"));
    Outcome o = streamed(missing);
    QCOMPARE(o.error, std::optional<int>(ErrorNumber::FileNotFound));
    QVERIFY(o.message.contains(missing));
    QVERIFY2(!QFileInfo::exists(missing), "reading must not create the file");

    o = streamed(m_dir.path());
    QVERIFY(o.error.has_value());
    QVERIFY(o.message.contains(QStringLiteral("folder")));
}

QTEST_GUILESS_MAIN(tst_BoardFileStream)
#include "tst_BoardFileStream.moc"
