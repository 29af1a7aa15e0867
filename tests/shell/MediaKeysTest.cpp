#include "shell/MediaKeys.h"

#include <Qt>

#include <gtest/gtest.h>

TEST(MediaKeys, WholeParameterMustMatch)
{
    EXPECT_EQ(mediaCommandFromAppCommand(720896), MediaCommand::Next); // 11 × 65536
    EXPECT_EQ(mediaCommandFromAppCommand(720897), MediaCommand::None); // a device bit set
    EXPECT_EQ(mediaCommandFromAppCommand(12u << 16), MediaCommand::Previous);
    EXPECT_EQ(mediaCommandFromAppCommand(13u << 16), MediaCommand::Stop);
    EXPECT_EQ(mediaCommandFromAppCommand(14u << 16), MediaCommand::PlayPause);
    EXPECT_EQ(mediaCommandFromAppCommand((14u << 16) | 0x8000), MediaCommand::None); // key-state bits
    EXPECT_EQ(mediaCommandFromAppCommand(46u << 16), MediaCommand::None);
}

TEST(MediaKeys, QtKeys)
{
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_MediaNext), MediaCommand::Next);
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_MediaPrevious), MediaCommand::Previous);
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_MediaStop), MediaCommand::Stop);
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_MediaTogglePlayPause), MediaCommand::PlayPause);
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_MediaPlay), MediaCommand::PlayPause);
    EXPECT_EQ(mediaCommandFromQtKey(Qt::Key_Space), MediaCommand::None);
}
