#include "ui/single_instance.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QUuid>

namespace lumaro::ui {
namespace {

QString uniqueKey() { return QStringLiteral("lumaro-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces); }

// An instance already running under a key of its own.
class RunningInstance : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(primary.becomePrimary()); }

  const QString key = uniqueKey();
  SingleInstance primary{key};
  QSignalSpy requests{&primary, &SingleInstance::activationRequested};
};

TEST_F(RunningInstance, SecondProcessHandsOverToIt) {
  QProcess second;
  second.start(QStringLiteral(LUMARO_PROBE_PATH), {key});
  ASSERT_TRUE(second.waitForStarted(5000));
  // The probe blocks on our answer, so serve the event loop while it runs.
  for (int i = 0; i < 100 && second.state() != QProcess::NotRunning; ++i) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    second.waitForFinished(50);
  }
  ASSERT_EQ(second.state(), QProcess::NotRunning);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << "the second instance must not become primary";
  QCoreApplication::processEvents();
  EXPECT_EQ(requests.count(), 1);
}

TEST(SingleInstance, FirstProcessAloneBecomesPrimary) {
  QProcess only;
  only.start(QStringLiteral(LUMARO_PROBE_PATH), {uniqueKey()});
  ASSERT_TRUE(only.waitForFinished(5000));
  EXPECT_EQ(only.exitCode(), 3);
}

TEST(SingleInstance, TakesOverASocketLeftByACrashedInstance) {
  const QString key = uniqueKey();
  const QString leftover = QDir::temp().filePath(key);
  {
    QFile file(leftover);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  SingleInstance instance(key);
  EXPECT_TRUE(instance.becomePrimary());
  // The socket now belongs to the live instance.
  QLocalSocket socket;
  socket.connectToServer(key);
  EXPECT_TRUE(socket.waitForConnected(1000));
  QFile::remove(leftover);
}

TEST_F(RunningInstance, IgnoresGarbageRequests) {
  QLocalSocket socket;
  socket.connectToServer(key);
  ASSERT_TRUE(socket.waitForConnected(1000));
  socket.write("hello there\n");
  socket.flush();
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(requests.count(), 0);
}

}  // namespace
}  // namespace lumaro::ui

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
