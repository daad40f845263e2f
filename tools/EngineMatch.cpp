// Match play between engine players.
#include "tools/EngineMatch.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <sstream>

std::optional<TPlayerConfig> ParsePlayerConfig(const std::string& text, std::string& error)
{
    TPlayerConfig config;
    config.Text = text;
    std::stringstream items(text);
    std::string item;
    int bestPercent = 0;
    auto number = [&](const std::string& value, long long low, long long high, long long& out) {
        try {
            std::size_t used = 0;
            out = std::stoll(value, &used);
            if (used == value.size() && out >= low && out <= high)
                return true;
        } catch (...) {
        }
        error = "\"" + item + "\": the number must lie in " + std::to_string(low) + ".." + std::to_string(high);
        return false;
    };
    while (std::getline(items, item, ',')) {
        if (item.empty())
            continue;
        if (item == "plain") {
            config.Features = TSearchFeatures::Plain();
            continue;
        }
        if (item[0] == '-' || item[0] == '+') {
            const bool on = item[0] == '+';
            const std::string name = item.substr(1);
            TSearchFeatures& f = config.Features;
            bool* flag = name == "tt" ? &f.Table
                         : name == "ordering"   ? &f.Ordering
                         : name == "history"    ? &f.History
                         : name == "pvs"        ? &f.Pvs
                         : name == "aspiration" ? &f.Aspiration
                         : name == "rfp"        ? &f.ReverseFutility
                         : name == "lmr"        ? &f.LateReductions
                         : name == "lmp"        ? &f.LateMovePruning
                         : name == "progress"   ? &f.Progress
                                                : nullptr;
            if (!flag) {
                error = "unknown search part \"" + name + "\"";
                return std::nullopt;
            }
            *flag = on;
            continue;
        }
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos) {
            error = "\"" + item + "\" is not name=value";
            return std::nullopt;
        }
        const std::string name = item.substr(0, equals);
        const std::string value = item.substr(equals + 1);
        long long n = 0;
        TEvalWeights& w = config.Features.Eval;
        int* weight = name == "piece" ? &w.Piece
                      : name == "tempo"     ? &w.Tempo
                      : name == "safe"      ? &w.Safe
                      : name == "reach"     ? &w.Reach
                      : name == "exclusive" ? &w.Exclusive
                      : name == "front"     ? &w.Front
                      : name == "threat"    ? &w.Threat
                                            : nullptr;
        if (weight) {
            if (!number(value, -1000, 1000, n))
                return std::nullopt;
            *weight = int(n);
        } else if (name == "softmax") {
            const std::size_t slash = value.find('/');
            long long depth = 0, temperature = 0;
            if (slash == std::string::npos || !number(value.substr(0, slash), 1, 6, depth)
                || !number(value.substr(slash + 1), 1, 100000, temperature))
                return std::nullopt;
            config.Style = TLevelStyle{int(depth), 0, int(temperature), false};
            config.Level = config.Level < 0 ? 1 : config.Level;
        } else if (name == "best") {
            if (!number(value, 1, 100, n))
                return std::nullopt;
            bestPercent = int(n);
        } else if (name == "level") {
            if (!number(value, MinLevel, MaxLevel, n))
                return std::nullopt;
            config.Level = int(n);
        } else if (name == "time") {
            if (!number(value, 1, 3'600'000, n))
                return std::nullopt;
            config.Milliseconds = n;
        } else if (name == "depth") {
            if (!number(value, 1, MaxSearchPly - 2, n))
                return std::nullopt;
            config.Depth = int(n);
        } else if (name == "npm") {
            if (!number(value, 1, 1'000'000, n))
                return std::nullopt;
            config.NodesPerMillisecond = std::uint64_t(n);
        } else if (name == "nodes") {
            if (!number(value, 1, 1'000'000'000'000LL, n))
                return std::nullopt;
            config.Nodes = std::uint64_t(n);
        } else {
            error = "unknown player setting \"" + name + "\"";
            return std::nullopt;
        }
    }
    // A softmax with a time budget deepens while time is left.
    if (config.Style) {
        config.Style->Milliseconds = config.Milliseconds;
        config.Style->BestPercent = bestPercent;
    } else if (bestPercent) {
        error = "best= needs softmax=";
        return std::nullopt;
    }
    if (config.Level < 0 && !config.Depth && !config.Milliseconds && !config.Nodes) {
        error = "player \"" + text + "\" needs level=, time=, depth= or nodes=";
        return std::nullopt;
    }
    return config;
}

TMatchPlayer::TMatchPlayer(TPlayerConfig config)
    : config_(std::move(config))
{
    player_.Searcher().Features = config_.Features;
}

TEngineMove TMatchPlayer::Choose(const TPosition& position, const std::vector<TPosition>& history, std::uint64_t seed)
{
    static const std::atomic<bool> never{false};
    if (config_.Level >= 0) {
        TThinkRequest request;
        request.Position = position;
        request.History = history;
        request.Level = config_.Level;
        request.Seed = seed;
        request.Milliseconds = config_.Milliseconds;
        request.Style = config_.Style;
        request.NodesPerMillisecond = config_.NodesPerMillisecond;
        const TEngineMove move = player_.Choose(request, never);
        nodes_ += player_.LastSearch().Nodes;
        if (player_.LastSearch().Depth) {
            depthSum_ += player_.LastSearch().Depth;
            ++searches_;
        }
        return move;
    }
    TSearchLimits limits;
    limits.Depth = config_.Depth ? config_.Depth : limits.Depth;
    limits.Milliseconds = config_.Milliseconds;
    limits.Nodes = config_.Nodes;
    const TSearchResult result = player_.Searcher().Search(position, history, limits);
    nodes_ += result.Nodes;
    depthSum_ += result.Depth;
    ++searches_;
    return result.Best;
}

std::vector<TPosition> BalancedOpenings(int width, int height, int count, int plies, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    TSearcher judge(4);
    TSearchLimits limits;
    limits.Depth = 4;
    std::vector<TPosition> openings;
    std::set<std::uint64_t> seen;
    // Openings as level as possible; the bar is raised when too few pass.
    for (int margin = 40, tries = 0; int(openings.size()) < count; ++tries) {
        if (tries > 0 && tries % 400 == 0)
            margin *= 2;
        TPosition position = TPosition::Start(width, height);
        std::vector<TPosition> history;
        bool over = false;
        for (int ply = 0; ply < plies && !over; ++ply) {
            TMoveList moves;
            position.GenerateMoves(moves);
            history.push_back(position);
            position.Play(moves[int(std::uniform_int_distribution<int>(0, moves.Count - 1)(random))]);
            over = position.Outcome() != TResult::None;
        }
        if (over || !seen.insert(position.Hash).second)
            continue;
        const TSearchResult verdict = judge.Search(position, history, limits);
        if (std::abs(verdict.Score) <= margin)
            openings.push_back(position);
        if (tries > 100000)
            break; // every different opening of this length is taken
    }
    return openings;
}

void EloOfScores(const std::vector<double>& scores, double& elo, double& error)
{
    const double n = double(scores.size());
    double mean = 0;
    for (const double s : scores)
        mean += s;
    mean /= std::max(n, 1.0);
    double variance = 0;
    for (const double s : scores)
        variance += (s - mean) * (s - mean);
    variance /= std::max(n - 1, 1.0);
    const double deviation = std::sqrt(variance / std::max(n, 1.0));
    auto toElo = [](double s) {
        s = std::clamp(s, 0.001, 0.999);
        return -400.0 * std::log10(1.0 / s - 1.0);
    };
    elo = toElo(mean);
    error = (toElo(mean + 1.96 * deviation) - toElo(mean - 1.96 * deviation)) / 2;
}

TMatchSummary PlayMatch(TMatchPlayer& a, TMatchPlayer& b, const TMatchOptions& options)
{
    const int pairs = (options.Games + 1) / 2;
    const std::vector<TPosition> openings = BalancedOpenings(options.Width, options.Height, pairs, options.OpeningPlies, options.Seed);
    TMatchSummary summary;
    std::vector<double> scores;
    std::uint64_t totalPlies = 0;
    std::mt19937_64 seeds(options.Seed * 7919 + 1);
    for (int game = 0; game < 2 * int(openings.size()); ++game) {
        const TPosition& opening = openings[std::size_t(game / 2)];
        const bool aIsRed = game % 2 == 0;
        a.NewGame();
        b.NewGame();
        TPosition position = opening;
        std::vector<TPosition> history;
        TGameRecordEntry record;
        record.Plies = options.OpeningPlies;
        for (;;) {
            record.Result = position.Outcome();
            if (record.Result != TResult::None)
                break;
            if (record.Plies >= options.MaxPlies) {
                record.Result = TResult::Draw;
                record.Capped = true;
                break;
            }
            TMatchPlayer& mover = (position.Side == RedSide) == aIsRed ? a : b;
            const TEngineMove move = mover.Choose(position, history, seeds());
            history.push_back(position);
            position.Play(move);
            ++record.Plies;
        }
        const bool aWon = (record.Result == TResult::RedWins) == aIsRed;
        double score = 0.5;
        if (record.Result == TResult::Draw)
            ++summary.Draws;
        else if (aWon)
            ++summary.WinsA, score = 1;
        else
            ++summary.WinsB, score = 0;
        // Colour-paired games share an opening, so they are scored as pairs.
        if (aIsRed)
            scores.push_back(score / 2);
        else
            scores.back() += score / 2;
        ++summary.Games;
        summary.Longest = std::max(summary.Longest, record.Plies);
        summary.Capped += record.Capped ? 1 : 0;
        totalPlies += std::uint64_t(record.Plies);
        if (options.OnGame)
            options.OnGame(summary.Games, record, aIsRed);
    }
    summary.MeanPlies = summary.Games ? double(totalPlies) / summary.Games : 0;
    summary.Score = summary.Games ? (summary.WinsA + 0.5 * summary.Draws) / summary.Games : 0;
    EloOfScores(scores, summary.Elo, summary.EloError);
    summary.NodesA = a.Nodes();
    summary.NodesB = b.Nodes();
    return summary;
}
