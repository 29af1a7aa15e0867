#pragma once

#include "QtTestApp.h"
#include "ScriptedDialogs.h"
#include "support/FakeAudioPlayer.h"
#include "ui/Session.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A fresh session over a temporary program folder, with scripted dialogs and fake players.
class SessionFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        ASSERT_TRUE(folder.isValid());
        programFolder = folder.path() + QLatin1Char('/');
        session = std::make_unique<Session>(options());
    }

    Session::Options options(AddSongFileFn addSongFile = {})
    {
        return Session::Options{programFolder, players.factory(), &dialogs, std::move(addSongFile),
                                programFolder + QStringLiteral("config"), nullptr, programFolder + QStringLiteral("data")};
    }

    static QString u8(const char *s) { return QString::fromUtf8(s); }

    static TSongRecord song(const char *artist, const char *title, const char *length = "3:00")
    {
        TSongRecord r;
        r.Artist = u8(artist);
        r.Title = u8(title);
        r.Length = u8(length);
        r.Path = u8(artist) + QLatin1String(".mp3");
        return r;
    }

    QTemporaryDir folder;
    QString programFolder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<Session> session;
};
