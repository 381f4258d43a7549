// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged board files: thousands of truncated, bit-flipped and count-inflated
// variants of valid files, each decoded from memory and through a trickling
// source. Each must either load or report damage (error 321), never read beyond
// its bytes (the sanitizer build watches that) and never allocate more than the
// file could hold.
#include "board/BoardFile.h"
#include "board/RandomBoard.h"
#include "board/ZanvoError.h"

#include <QTest>

#include <cstdlib>
#include <limits>
#include <new>
#include <random>

namespace {

// Allocation accounting while `tracking` is set: the largest single request and
// the sum of all requests.
bool tracking = false;
std::size_t largestRequest = 0;
std::size_t totalRequested = 0;

void* allocate(std::size_t n)
{
    if (tracking) {
        largestRequest = std::max(largestRequest, n);
        totalRequested += n;
    }
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t n)
{
    return allocate(n);
}
void* operator new[](std::size_t n)
{
    return allocate(n);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

struct Sample {
    Bytes bytes;
    std::vector<std::size_t> countOffsets; // the board count and every NumberCount
};

Sample sampleOf(const clsBoardCollection& list)
{
    Sample s{EncodeBoards(list), {0}};
    std::size_t at = 4;
    for (const auto& b : list) {
        s.countOffsets.push_back(at);
        at += 4 + 8 * b->Entries().size();
    }
    return s;
}

std::vector<Sample> samples()
{
    std::vector<Sample> out;
    out.push_back(sampleOf(clsBoardCollection())); // empty list

    clsBoardCollection worked;
    auto b = std::make_shared<clsBoard>();
    b->AppendNumber(7, CellWhite);
    b->AppendNumber(12, CellGreen);
    worked.Add(b);
    out.push_back(sampleOf(worked));

    const UniformSource uniform = SeededUniform(77);
    clsBoardCollection three;
    for (int i = 0; i < 3; ++i) {
        auto r = MakeRandomBoard(uniform);
        r->zanvo(i, CellGreen);
        three.Add(r);
    }
    out.push_back(sampleOf(three));

    clsBoardCollection mixed; // stored empty board and other lengths
    for (int entries : {0, 1, 5, 0, 25, 2}) {
        auto m = std::make_shared<clsBoard>();
        for (int i = 0; i < entries; ++i)
            m->AppendNumber(i * 3 - 2, i % 2 ? CellGreen : CellWhite);
        mixed.Add(m);
    }
    out.push_back(sampleOf(mixed));
    return out;
}

void putWord(Bytes& b, std::size_t at, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k)
        b[at + std::size_t(k)] = static_cast<std::uint8_t>(u >> (8 * k));
}

std::int32_t boardCountOf(const Bytes& b)
{
    return b.size() < 4 ? 0 : static_cast<std::int32_t>(b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24);
}

struct Outcome {
    bool loaded = false;
    BoardsRef boards;
    QString problem; // empty when it behaved
};

// Decodes with the allocation watch on and checks the rules every file obeys.
Outcome decodeChecked(const Bytes& bytes, bool trickling)
{
    Outcome out;
    largestRequest = 0;
    totalRequested = 0;
    std::size_t at = 0;
    BoardFileReader::Source source = [&](std::span<std::uint8_t> into) {
        const std::size_t n = std::min<std::size_t>({3, into.size(), bytes.size() - at});
        std::copy_n(bytes.data() + at, n, into.data());
        at += n;
        return n;
    };
    // Built before the watch starts, so only the decoding itself is counted.
    BoardFileReader chunked(bytes.size(), source, 64);
    BoardFileReader whole(bytes);
    tracking = true;
    try {
        out.boards = DecodeBoards(trickling ? chunked : whole);
        out.loaded = true;
    } catch (const ZanvoError& e) {
        tracking = false;
        if (e.Number() != ErrorNumber::BadFileFormat)
            out.problem = QStringLiteral("error %1 instead of 321: %2").arg(e.Number()).arg(QString::fromStdString(e.Description()));
    } catch (const std::exception& e) {
        tracking = false;
        out.problem = QStringLiteral("unexpected exception: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    tracking = false;
    const std::size_t reading = trickling ? 64 : 0; // the reader's own buffer
    // No single allocation is sized from a count beyond the bytes; in all, a
    // decode costs at most a fixed multiple of the file, whatever its counts say.
    if (largestRequest > bytes.size() + reading + 256)
        out.problem = QStringLiteral("allocated %1 bytes at once for a %2-byte file").arg(largestRequest).arg(bytes.size());
    if (totalRequested > 32 * bytes.size() + reading + 4096)
        out.problem = QStringLiteral("allocated %1 bytes in all for a %2-byte file").arg(totalRequested).arg(bytes.size());
    if (out.loaded && boardCountOf(bytes) > 0) {
        // What loaded is exactly what the file's first bytes say.
        const Bytes again = EncodeBoards(*out.boards);
        if (again.size() > bytes.size() || !std::equal(again.begin(), again.end(), bytes.begin()))
            out.problem = QStringLiteral("loaded boards do not match the file's bytes");
    }
    if (out.loaded && boardCountOf(bytes) <= 0 && out.boards->Count() != 0)
        out.problem = QStringLiteral("a count of %1 gave boards").arg(boardCountOf(bytes));
    return out;
}

QString describe(const Bytes& b)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(std::min<std::size_t>(b.size(), 48))).toHex(' '));
}

} // namespace

class tst_BoardFileMutation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void watchSeesAllocations();
    void mutatedFilesLoadOrReportDamage();
};

void tst_BoardFileMutation::watchSeesAllocations()
{
    // Without this the limits below would hold trivially.
    const Bytes bytes = sampleOf([] {
        clsBoardCollection l;
        l.Add(MakeRandomBoard(SeededUniform(1)));
        return l;
    }()).bytes;
    const Outcome o = decodeChecked(bytes, false);
    QVERIFY(o.loaded);
    QVERIFY(largestRequest >= 200); // the board's 25 entries
    QVERIFY(totalRequested >= 200);
}

void tst_BoardFileMutation::mutatedFilesLoadOrReportDamage()
{
    std::mt19937 rng(20240605);
    std::vector<Bytes> cases;
    for (const Sample& s : samples()) {
        const Bytes& base = s.bytes;
        for (std::size_t len = 0; len < base.size(); ++len) // every truncation
            cases.emplace_back(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(len));
        for (int i = 0; i < 600; ++i) { // one to four flipped bits
            Bytes m = base;
            const int flips = std::uniform_int_distribution<int>(1, 4)(rng);
            for (int f = 0; f < flips; ++f) {
                const std::size_t at = std::uniform_int_distribution<std::size_t>(0, m.size() - 1)(rng);
                m[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
            }
            cases.push_back(std::move(m));
        }
        for (std::size_t at : s.countOffsets) { // inflated and negative counts
            const std::int32_t left = static_cast<std::int32_t>(base.size() - at - 4);
            for (std::int32_t v : {IntMax, IntMax - 1, 2000000000, 1 << 28, left / 8, left / 8 + 1, left / 4,
                                   left / 4 + 1, left, -2, -1, 0, IntMin}) {
                Bytes m = base;
                putWord(m, at, v);
                cases.push_back(m);
                m.resize(m.size() - std::min<std::size_t>(m.size(), 3)); // and cut short as well
                cases.push_back(std::move(m));
            }
        }
    }
    for (int i = 0; i < 400; ++i) { // short noise
        Bytes m(std::uniform_int_distribution<std::size_t>(0, 64)(rng));
        for (auto& byte : m)
            byte = static_cast<std::uint8_t>(rng());
        cases.push_back(std::move(m));
    }
    QVERIFY(cases.size() > 3000);

    int loaded = 0;
    int damaged = 0;
    for (const Bytes& bytes : cases) {
        // Exact-size heap copies, so any read beyond the end is caught.
        const Bytes exact(bytes.begin(), bytes.end());
        const Outcome whole = decodeChecked(exact, false);
        QVERIFY2(whole.problem.isEmpty(), qPrintable(whole.problem + QStringLiteral(" in ") + describe(exact)));
        const Outcome trickled = decodeChecked(exact, true);
        QVERIFY2(trickled.problem.isEmpty(), qPrintable(trickled.problem + QStringLiteral(" in ") + describe(exact)));
        QCOMPARE(trickled.loaded, whole.loaded);
        if (whole.loaded)
            QCOMPARE(EncodeBoards(*trickled.boards), EncodeBoards(*whole.boards));
        (whole.loaded ? loaded : damaged)++;
    }
    // Both outcomes must really occur, or the mutations test nothing.
    QVERIFY(loaded > 300);
    QVERIFY(damaged > 1000);
    qInfo("%zu files: %d loaded, %d reported damaged", cases.size(), loaded, damaged);
}

QTEST_APPLESS_MAIN(tst_BoardFileMutation)
#include "tst_BoardFileMutation.moc"
