// Perfect play on 4 x 4: the built-in table against positions whose values
// the retrograde analysis worked out (a sample it wrote), and level 10's
// moves keeping those values.
#include "engine/ComputerPlayer.h"
#include "engine/Notation.h"
#include "engine/Perfect4x4.h"

#include <QFile>
#include <QTest>

namespace {

struct TSample {
    TPosition Position;
    TGameValue Value;
};

std::vector<TSample> ReadSample()
{
    QFile file(ZELVON_PERFECT_SAMPLE);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", ZELVON_PERFECT_SAMPLE);
    std::vector<TSample> sample;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        std::string error;
        const auto position = ParsePosition(line.left(line.size() - 2).toStdString(), error);
        if (!position)
            qFatal("%s: %s", qPrintable(line), error.c_str());
        const QChar value = line.back();
        sample.push_back({*position, value == 'W' ? TGameValue::Win : value == 'L' ? TGameValue::Loss : TGameValue::Draw});
    }
    return sample;
}

} // namespace

class Perfect4x4Test : public QObject {
    Q_OBJECT

private slots:
    void tableGivesTheAnalysedValues()
    {
        const TPerfect4x4& table = TPerfect4x4::Builtin();
        QVERIFY(table.Ready());
        const std::vector<TSample> sample = ReadSample();
        QVERIFY(sample.size() >= 1000);
        for (const TSample& each : sample)
            if (table.Value(each.Position) != each.Value)
                QFAIL(FormatPosition(each.Position).c_str());
    }

    void aDamagedTableIsNotUsed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a table") << QByteArray("hello, this is no table of values at all");
        QTest::newRow("wrong chunk count") << QByteArray::fromHex("07000000ffff0000");
        QTest::newRow("chunks missing") << QByteArray::fromHex("2000000010000000") + QByteArray(128, '\xff');
    }

    void aDamagedTableIsNotUsed()
    {
        QFETCH(QByteArray, bytes);
        const TPerfect4x4 table(bytes.toStdString());
        QVERIFY(!table.Ready());
    }

    void startPositionsAreDrawn()
    {
        const TPerfect4x4& table = TPerfect4x4::Builtin();
        QCOMPARE(table.Value(TPosition::Start(4, 4, RedSide)), TGameValue::Draw);
        QCOMPARE(table.Value(TPosition::Start(4, 4, BlueSide)), TGameValue::Draw);
    }

    void levelTenKeepsTheValue()
    {
        // Every move level 10 may choose keeps the value of the position.
        const TPerfect4x4& table = TPerfect4x4::Builtin();
        for (const TSample& each : ReadSample()) {
            const std::vector<TEngineMove> moves = PerfectMoves(each.Position, {});
            QVERIFY(!moves.empty());
            for (const TEngineMove move : moves)
                if (table.ValueOfMove(each.Position, move) != each.Value)
                    QFAIL((FormatPosition(each.Position) + " " + FormatMove(each.Position, move)).c_str());
        }
    }

    void levelTenPlaysOneOfThePerfectMoves()
    {
        const std::vector<TSample> sample = ReadSample();
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        for (std::size_t i = 0; i < sample.size(); i += 100) {
            TThinkRequest request;
            request.Position = sample[i].Position;
            request.Level = MaxLevel;
            request.Milliseconds = 5;
            const TEngineMove move = player.Choose(request, go);
            const std::vector<TEngineMove> perfect = PerfectMoves(request.Position, {});
            QVERIFY(std::find(perfect.begin(), perfect.end(), move) != perfect.end());
        }
    }

    void aWonGameDoesNotGoBackWhereItWas()
    {
        // Of the winning moves, one that returns to an earlier position is
        // left out while another keeps the win.
        const TPerfect4x4& table = TPerfect4x4::Builtin();
        int checked = 0;
        for (const TSample& each : ReadSample()) {
            if (each.Value != TGameValue::Win)
                continue;
            const std::vector<TEngineMove> all = PerfectMoves(each.Position, {});
            if (all.size() < 2)
                continue;
            TPosition seen = each.Position;
            seen.Play(all.front());
            const std::vector<TEngineMove> fresh = PerfectMoves(each.Position, std::vector<TPosition>{seen});
            QVERIFY(std::find(fresh.begin(), fresh.end(), all.front()) == fresh.end());
            for (const TEngineMove move : fresh)
                QCOMPARE(table.ValueOfMove(each.Position, move), TGameValue::Win);
            if (++checked == 50)
                break;
        }
        QCOMPARE(checked, 50);
    }
};

QTEST_GUILESS_MAIN(Perfect4x4Test)
#include "Perfect4x4Test.moc"
