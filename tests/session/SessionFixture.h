#pragma once

#include "session/ScriptedDialogs.h"
#include "session/Session.h"
#include "support/FakeAudioPlayer.h"
#include "support/TestApp.h"
#include "support/TestSongs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A fresh session over a temporary program folder, with scripted dialogs and fake players.
class SessionFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        ASSERT_TRUE(folder.isValid());
        programFolder = folder.path() + QLatin1Char('/');
        session = std::make_unique<Session>(options());
    }

    Session::Options options(AddSongFileFn addSongFile = {})
    {
        return Session::Options{programFolder, players.factory(), &dialogs, std::move(addSongFile),
                                programFolder + QStringLiteral("config"), nullptr, programFolder + QStringLiteral("data"),
                                programFolder + QStringLiteral("covers")};
    }

    static TSongRecord song(const char *artist, const char *title, const char *length = "3:00")
    {
        return makeSong(artist, title, length);
    }

    QTemporaryDir folder;
    QString programFolder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<Session> session;
};
