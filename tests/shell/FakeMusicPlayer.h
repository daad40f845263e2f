// A music player that plays nothing: its clock moves only when a test moves
// it. Shared by the tests of the music logic and of the main window's music.
#pragma once

#include "shell/Exception.h"
#include "shell/Music.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

// Follows the player contract: a track opens at rest at 0, plays only when
// told, stops where it is, ends at its length and stays ended.
class TFakePlayer : public IMusicPlayer {
public:
    QHash<QString, int> Lengths; // by file name; others last a minute
    QSet<QString> Missing;       // file names whose open fails
    QStringList Opened;          // paths, in order
    int PlayCalls = 0;
    bool FailNextPlay = false;

    void Advance(int ms)
    {
        if (state_ != msPlaying)
            return;
        position_ = std::min(position_ + ms, length_);
        if (position_ == length_)
            state_ = msEnded;
    }

    void Open(const QString& fileName) override
    {
        state_ = msNoTrack;
        fileName_.clear();
        Opened << fileName;
        const QString name = QFileInfo(fileName).fileName();
        if (Missing.contains(name))
            throw Exception(QStringLiteral("missing: ") + name);
        length_ = Lengths.value(name, 60000);
        position_ = 0;
        state_ = msAtRest;
        fileName_ = fileName;
    }
    void Play() override
    {
        Require();
        ++PlayCalls;
        if (FailNextPlay) {
            FailNextPlay = false;
            throw Exception(QStringLiteral("no output"));
        }
        if (state_ == msAtRest)
            state_ = msPlaying;
    }
    void Stop() override
    {
        Require();
        if (state_ == msPlaying)
            state_ = msAtRest;
    }
    int Length() override
    {
        Require();
        return length_;
    }
    int Position() override
    {
        Require();
        return position_;
    }
    TState State() override { return state_; }
    QString FileName() const override { return fileName_; }

private:
    void Require() const
    {
        if (state_ == msNoTrack)
            throw Exception(NoTrackOpenText);
    }

    TState state_ = msNoTrack;
    QString fileName_;
    int length_ = 0;
    int position_ = 0;
};
