// SPDX-License-Identifier: MIT
#include "InstanceChannel.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(InstanceChannel, ASecondStartReachesTheRunningCopyOnlyWhileItListens)
{
    QTemporaryDir dir;
    const QString path = InstanceChannel::besideLock(dir.filePath("nudgeon.lock"));
    EXPECT_EQ(path, dir.filePath("nudgeon.socket"));
    EXPECT_FALSE(InstanceChannel::handOver(path));

    // A socket file left behind by a copy that was killed does not keep the next one deaf.
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    InstanceChannel running(path);
    ASSERT_TRUE(running.listen());
    QSignalSpy startedAgain(&running, &InstanceChannel::startedAgain);
    EXPECT_TRUE(InstanceChannel::handOver(path));
    EXPECT_TRUE(startedAgain.wait(3000));

    // Anything but the greeting is ignored.
    QLocalSocket stranger;
    stranger.connectToServer(path);
    ASSERT_TRUE(stranger.waitForConnected(1000));
    stranger.write("open everything\n");
    stranger.waitForBytesWritten(1000);
    EXPECT_FALSE(startedAgain.wait(500));
    EXPECT_EQ(startedAgain.size(), 1);
}
