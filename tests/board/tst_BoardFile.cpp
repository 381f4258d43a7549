// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/BoardFile.h"
#include "board/RandomBoard.h"
#include "board/ZanvoError.h"

#include <QTest>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

// Little-endian bytes written out by hand, independent of the codec.
Bytes le(std::initializer_list<std::int64_t> words)
{
    Bytes out;
    for (std::int64_t w : words) {
        const auto u = static_cast<std::uint32_t>(w);
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(u >> shift));
    }
    return out;
}

Bytes hex(const char* text)
{
    const QByteArray raw = QByteArray::fromHex(QByteArray(text));
    return Bytes(raw.begin(), raw.end());
}

std::int32_t wordAt(const Bytes& b, std::size_t at)
{
    return static_cast<std::int32_t>(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8
                                     | std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

std::shared_ptr<clsBoard> boardOf(std::initializer_list<std::pair<int, int>> cells)
{
    auto b = std::make_shared<clsBoard>();
    for (auto [number, colour] : cells)
        b->AppendNumber(number, colour);
    return b;
}

// Boards of random lengths (stored empty boards included), numbers and colours.
clsBoardCollection randomList(std::mt19937& rng, int maxBoards)
{
    clsBoardCollection list;
    const int boards = std::uniform_int_distribution<int>(0, maxBoards)(rng);
    for (int i = 0; i < boards; ++i) {
        auto b = std::make_shared<clsBoard>();
        const int entries = std::uniform_int_distribution<int>(0, 30)(rng);
        for (int k = 0; k < entries; ++k) {
            const auto number = static_cast<std::int32_t>(rng());
            const std::int32_t colour = (rng() & 1) ? CellGreen : static_cast<std::int32_t>(rng());
            b->AppendNumber(number, colour);
        }
        list.Add(std::move(b));
    }
    return list;
}

// A source that hands out at most `step` bytes per call.
BoardFileReader::Source trickle(const Bytes& bytes, std::size_t step, std::size_t* calls = nullptr)
{
    auto at = std::make_shared<std::size_t>(0);
    return [&bytes, step, at, calls](std::span<std::uint8_t> into) {
        const std::size_t n = std::min({step, into.size(), bytes.size() - *at});
        std::copy_n(bytes.data() + *at, n, into.data());
        *at += n;
        if (calls)
            ++*calls;
        return n;
    };
}

} // namespace

class tst_BoardFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workedExample();
    void emptyList();
    void twoBoardsOf25();
    void otherLengths_data();
    void otherLengths();
    void trailingBytesIgnored();
    void nonPositiveCount_data();
    void nonPositiveCount();
    void damaged_data();
    void damaged();
    void fileLoadKeepsBoardOnDamage();
    void fileLoadStopsBehindBlock();
    void roundTripRandomLists();
    void chunkedReadingMatches_data();
    void chunkedReadingMatches();
    void sourceEndingEarlyIsDamage();
    void sourceErrorPassesThrough();
    void largeFileReadInChunks();
};

void tst_BoardFile::workedExample()
{
    clsBoardCollection list;
    list.Add(boardOf({{7, CellWhite}, {12, CellGreen}}));
    const Bytes expected = hex("01000000"
                               "01000000"
                               "07000000ffffff00"
                               "0c00000000ff0000");
    QCOMPARE(expected.size(), std::size_t(24));
    QCOMPARE(EncodeBoards(list), expected);

    const BoardsRef back = DecodeBoards(expected);
    QCOMPARE(back->Count(), 1);
    const clsBoard& b = *back->Item(1);
    QCOMPARE(b.NumberCount(), 1);
    QCOMPARE(b.Numbers(0), 7);
    QCOMPARE(b.zanvo(0), CellWhite);
    QCOMPARE(b.Numbers(1), 12);
    QCOMPARE(b.zanvo(1), CellGreen);
}

void tst_BoardFile::emptyList()
{
    QCOMPARE(EncodeBoards(clsBoardCollection()), hex("00000000"));
    QCOMPARE(DecodeBoards(hex("00000000"))->Count(), 0);
    QCOMPARE(DecodeBoards(Bytes())->Count(), 0); // an empty file is an empty list
}

void tst_BoardFile::twoBoardsOf25()
{
    const UniformSource uniform = SeededUniform(25);
    clsBoardCollection list;
    list.Add(MakeRandomBoard(uniform));
    list.Add(MakeRandomBoard(uniform));
    list.Item(2)->zanvo(3, CellGreen);
    list.Item(2)->zanvo(24, CellGreen);

    const Bytes bytes = EncodeBoards(list);
    QCOMPARE(bytes.size(), std::size_t(412));
    QCOMPARE(wordAt(bytes, 0), 2);
    for (int board = 1; board <= 2; ++board) {
        const std::size_t block = 4 + 204 * std::size_t(board - 1);
        QCOMPARE(wordAt(bytes, block), 24);
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(wordAt(bytes, block + 4 + 8 * std::size_t(i)), list.Item(board)->Numbers(i));
            QCOMPARE(wordAt(bytes, block + 8 + 8 * std::size_t(i)), list.Item(board)->zanvo(i));
        }
    }
    QCOMPARE(wordAt(bytes, 4 + 204 + 8 + 8 * 3), CellGreen);
    QVERIFY(*DecodeBoards(bytes) == list);
}

void tst_BoardFile::otherLengths_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<Bytes>("block");
    QTest::newRow("stored empty board") << 0 << le({-1});
    QTest::newRow("one entry") << 1 << le({0, 1000, 5});
    QTest::newRow("three entries") << 3 << le({2, 1000, 5, 1001, 6, 1002, 7});
}

void tst_BoardFile::otherLengths()
{
    QFETCH(int, entries);
    QFETCH(Bytes, block);
    auto b = std::make_shared<clsBoard>();
    for (int i = 0; i < entries; ++i)
        b->AppendNumber(1000 + i, 5 + i);
    clsBoardCollection list;
    list.Add(b);

    Bytes expected = le({1});
    expected.insert(expected.end(), block.begin(), block.end());
    QCOMPARE(EncodeBoards(list), expected);
    const BoardsRef back = DecodeBoards(expected);
    QCOMPARE(back->Count(), 1);
    QCOMPARE(back->Item(1)->NumberCount(), entries - 1);
    QVERIFY(*back->Item(1) == *b);
}

void tst_BoardFile::trailingBytesIgnored()
{
    Bytes bytes = hex("0100000001000000" "07000000ffffff00" "0c00000000ff0000");
    const BoardsRef plain = DecodeBoards(bytes);
    bytes.insert(bytes.end(), {0xde, 0xad, 0xbe, 0xef, 0x01});
    QVERIFY(*DecodeBoards(bytes) == *plain);
}

void tst_BoardFile::nonPositiveCount_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::newRow("zero, then junk") << le({0, 24, 1, 2});
    QTest::newRow("minus one") << le({-1});
    QTest::newRow("most negative, then junk") << le({std::numeric_limits<std::int32_t>::min(), 5});
}

void tst_BoardFile::nonPositiveCount()
{
    QFETCH(Bytes, bytes);
    QCOMPARE(DecodeBoards(bytes)->Count(), 0);
}

void tst_BoardFile::damaged_data()
{
    constexpr std::int64_t IntMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t IntMin = std::numeric_limits<std::int32_t>::min();
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<QString>("problem");

    QTest::newRow("one byte") << Bytes{1} << QStringLiteral("too short to hold a board count");
    QTest::newRow("three bytes") << Bytes{1, 0, 0} << QStringLiteral("too short to hold a board count");
    QTest::newRow("count, no blocks") << le({1}) << QStringLiteral("claims 1 boards");
    QTest::newRow("2,000,000,000 boards in 4 bytes") << le({2000000000}) << QStringLiteral("claims 2000000000 boards");
    QTest::newRow("largest count") << le({IntMax, 1, 2}) << QStringLiteral("claims 2147483647 boards");
    QTest::newRow("three boards, two blocks") << le({3, -1, -1}) << QStringLiteral("claims 3 boards");
    QTest::newRow("number count -2") << le({1, -2, 0, 0}) << QStringLiteral("board 1 of 1 has a negative number count (-2)");
    QTest::newRow("most negative number count") << le({1, IntMin}) << QStringLiteral("negative number count");
    QTest::newRow("number count beyond the file") << le({1, 1000, 1, 2, 3, 4})
                                                  << QStringLiteral("board 1 of 1 claims 1001 numbers, more than the 16 bytes");
    QTest::newRow("largest number count") << le({1, IntMax, 7, 7}) << QStringLiteral("claims 2147483648 numbers");
    QTest::newRow("second block cut in its count")
        << [] { Bytes b = le({2, 0, 7, CellWhite}); b.insert(b.end(), {0x18, 0}); return b; }()
        << QStringLiteral("it ends inside board 2 of 2");
    QTest::newRow("second board claims too much")
        << le({2, 0, 7, CellWhite, 24, 1, 2}) << QStringLiteral("board 2 of 2 claims 25 numbers");
    QTest::newRow("entry cut short")
        << [] { Bytes b = le({1, 1, 7, CellWhite, 12}); b.insert(b.end(), {0, 0xff, 0}); return b; }()
        << QStringLiteral("claims 2 numbers, more than the 15 bytes");
}

void tst_BoardFile::damaged()
{
    QFETCH(Bytes, bytes);
    QFETCH(QString, problem);
    try {
        DecodeBoards(bytes);
        QFAIL("a damaged file was read");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::BadFileFormat);
        const QString text = QString::fromStdString(e.Description());
        QVERIFY2(text.startsWith(QStringLiteral("The file is damaged: ")), qPrintable(text));
        QVERIFY2(text.contains(problem), qPrintable(text));
    }
}

void tst_BoardFile::fileLoadKeepsBoardOnDamage()
{
    clsBoard b;
    b.AppendNumber(3, CellGreen);
    b.AppendNumber(4, CellWhite);
    const clsBoard before = b;
    const Bytes bytes = le({5, 1, 2, 3, 4}); // six entries claimed, two there
    BoardFileReader reader(bytes);
    QVERIFY_THROWS_EXCEPTION(ZanvoError, b.FileLoad(reader));
    QVERIFY(b == before);
}

void tst_BoardFile::fileLoadStopsBehindBlock()
{
    const Bytes bytes = le({1, 11, CellWhite, 12, CellGreen, 0, 13, 0});
    BoardFileReader reader(bytes);
    clsBoard b;
    b.AllocateNumbers(24);
    b.FileLoad(reader);
    QCOMPARE(b.NumberCount(), 1);
    QCOMPARE(b.Numbers(1), 12);
    QCOMPARE(b.zanvo(1), CellGreen);
    QCOMPARE(reader.Position(), std::size_t(20));
    b.FileLoad(reader);
    QCOMPARE(b.NumberCount(), 0);
    QCOMPARE(b.Numbers(0), 13);
    QCOMPARE(reader.Remaining(), std::size_t(0));
}

void tst_BoardFile::roundTripRandomLists()
{
    std::mt19937 rng(4711);
    for (int round = 0; round < 200; ++round) {
        const clsBoardCollection list = randomList(rng, 40);
        const Bytes first = EncodeBoards(list);
        const BoardsRef back = DecodeBoards(first);
        QVERIFY2(*back == list, qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(EncodeBoards(*back), first); // a second save is byte for byte the first
    }
}

void tst_BoardFile::chunkedReadingMatches_data()
{
    QTest::addColumn<int>("step");
    for (int step : {1, 3, 4, 5, 7, 8, 13, 64, 1000})
        QTest::addRow("%d bytes per read", step) << step;
}

void tst_BoardFile::chunkedReadingMatches()
{
    QFETCH(int, step);
    std::mt19937 rng(static_cast<std::uint32_t>(step));
    for (int round = 0; round < 20; ++round) {
        const clsBoardCollection list = randomList(rng, 12);
        Bytes bytes = EncodeBoards(list);
        bytes.push_back(0x42); // a trailing byte must not be asked for
        std::size_t calls = 0;
        BoardFileReader reader(bytes.size(), trickle(bytes, std::size_t(step), &calls), 64);
        QVERIFY(*DecodeBoards(reader) == list);
        QVERIFY(calls > 0);
        QCOMPARE(reader.Remaining(), std::size_t(1));
    }
}

void tst_BoardFile::sourceEndingEarlyIsDamage()
{
    // The file was shorter than its size said, for instance cut while being read.
    const Bytes bytes = le({2, 0, 7, CellWhite, 0, 8});
    BoardFileReader reader(bytes.size() + 4, trickle(bytes, 5), 64);
    try {
        DecodeBoards(reader);
        QFAIL("a file that ended early was read");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::BadFileFormat);
        QVERIFY(QString::fromStdString(e.Description()).contains(QStringLiteral("ends inside board 2 of 2")));
    }
}

void tst_BoardFile::sourceErrorPassesThrough()
{
    // A failing read is the disk's problem, not damage in the file.
    const Bytes bytes = le({2, 0, 7, CellWhite, 0, 8, CellGreen});
    int calls = 0;
    BoardFileReader reader(bytes.size(), [&](std::span<std::uint8_t> into) -> std::size_t {
        if (++calls == 2)
            throw ZanvoError(ErrorNumber::DeviceIO, "Device I/O error");
        const std::size_t n = std::min<std::size_t>(into.size(), 12);
        std::copy_n(bytes.data(), n, into.data());
        return n;
    }, 64);
    try {
        DecodeBoards(reader);
        QFAIL("a failing read was not reported");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::DeviceIO);
    }
}

void tst_BoardFile::largeFileReadInChunks()
{
    // More than one default chunk, so blocks straddle refills of the real size.
    const UniformSource uniform = SeededUniform(9);
    clsBoardCollection list;
    for (int i = 0; i < 6000; ++i)
        list.Add(MakeRandomBoard(uniform));
    const Bytes bytes = EncodeBoards(list);
    QCOMPARE(bytes.size(), std::size_t(4 + 204 * 6000));
    std::size_t calls = 0;
    BoardFileReader reader(bytes.size(), trickle(bytes, bytes.size(), &calls));
    QVERIFY(*DecodeBoards(reader) == list);
    QCOMPARE(calls, std::size_t(2));
}

QTEST_APPLESS_MAIN(tst_BoardFile)
#include "tst_BoardFile.moc"
