// The network game's costs: the round trip of a move between two sessions
// over the loopback interface (the server moves, the client answers at once;
// median and 99th percentile in the counters), and the work each received
// move costs on its own: decoding the frame and checking, playing and
// hashing it on the mirror.
#include "net/NetSession.h"
#include "net/Protocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Random moves, so games end and new ones are agreed along the way.
TMove AnyMove(const TNetSession& session, std::mt19937& random)
{
    const TMatch& match = session.Match();
    const auto moves = GenerateMoves(match.Board(), match.Size(), session.LocalSide());
    return moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)];
}

double Percentile(std::vector<double> samples, double share)
{
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, std::size_t(share * double(samples.size())))];
}

void BM_MoveRoundTrip(benchmark::State& run)
{
    TNetSession server, client;
    server.Listen(0);
    client.Connect(QStringLiteral("127.0.0.1"), server.ListeningPort());
    if (!WaitFor([&] { return server.State() == TNetSession::nsPlaying && client.State() == TNetSession::nsPlaying; })) {
        run.SkipWithError("the sessions did not connect");
        return;
    }
    std::mt19937 random(11);
    // The client answers every move at once.
    QObject::connect(&client, &TNetSession::MoveReceived, &client, [&] {
        if (client.IsLocalTurn())
            client.SendMove(AnyMove(client, random));
    });
    int answers = 0;
    QObject::connect(&server, &TNetSession::MoveReceived, &server, [&] { ++answers; });
    int games = server.Game().Number;
    const auto serverToMove = [&] {
        while (!server.IsLocalTurn()) {
            if (server.Match().Over() || client.Match().Over()) {
                server.RequestNewGame();
                client.RequestNewGame();
                if (!WaitFor([&] { return client.Game().Number == games + 1 && !client.NewGameAgreed(); }))
                    return false;
                ++games;
            } else if (client.IsLocalTurn()) {
                const int before = answers;
                client.SendMove(AnyMove(client, random));
                if (!WaitFor([&] { return answers > before; }))
                    return false;
            }
        }
        return true;
    };

    std::vector<double> samples;
    QElapsedTimer clock;
    for (auto _ : run) {
        if (!serverToMove()) {
            run.SkipWithError("the game got stuck");
            return;
        }
        const int before = answers;
        const TMove move = AnyMove(server, random);
        TMatch next = server.Match();
        next.Play(move);
        const bool ends = next.Over();
        clock.start();
        server.SendMove(move);
        // A move that ends the game gets no answer: its trip is one way and
        // is not counted.
        if (ends) {
            run.SetIterationTime(0);
            continue;
        }
        WaitFor([&] { return answers > before; });
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        run.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
    }
    run.counters["median_us"] = Percentile(samples, 0.5);
    run.counters["p99_us"] = Percentile(samples, 0.99);
    run.counters["games"] = games;
}
BENCHMARK(BM_MoveRoundTrip)->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

// A board in mid-game, about a third of the cells each.
TMatch MidGame()
{
    TGameBoard board;
    std::mt19937 random(5);
    ForEachCell({10, 10}, [&](TPoint cell) {
        const int roll = std::uniform_int_distribution<int>(0, 2)(random);
        board[cell] = roll == 0 ? clRed : roll == 1 ? clBlue : clGray;
    });
    TMatch match;
    match.SetPosition(board, {10, 10}, clRed);
    return match;
}

void BM_DecodeMoveFrame(benchmark::State& run)
{
    const QByteArray frame = EncodeFrame(TNetMove{1, {{3, 4}, {4, 5}}, 0x0123456789abcdef});
    for (auto _ : run)
        benchmark::DoNotOptimize(DecodeFrame(frame));
}
BENCHMARK(BM_DecodeMoveFrame);

// What the receiver does with a peer's move besides decoding it.
void BM_MirrorCheckPlayHash(benchmark::State& run)
{
    const TMatch start = MidGame();
    const auto moves = GenerateMoves(start.Board(), start.Size(), clRed);
    std::size_t next = 0;
    for (auto _ : run) {
        TMatch match = start;
        const TMove move = moves[next++ % moves.size()];
        benchmark::DoNotOptimize(match.Check(move, clRed));
        match.Play(move);
        benchmark::DoNotOptimize(match.Hash());
    }
}
BENCHMARK(BM_MirrorCheckPlayHash)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
