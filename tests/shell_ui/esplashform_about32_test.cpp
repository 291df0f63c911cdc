#include "shell/ekonfig32.h"
#include "shell/ui/about32.h"
#include "shell/ui/esplashform.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace shellui;

TEST(SplashScreen, BorderlessOnTopCentredAndClosedByAClick) {
  TSplashScreen splash;
  splash.ShowNow();
  EXPECT_TRUE(splash.isVisible());
  EXPECT_EQ(splash.size(), QSize(kSplashWidth, kSplashHeight));
  EXPECT_EQ(splash.windowTitle(), "n  o  l  k");
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
  QTest::mouseClick(&splash, Qt::LeftButton);
  EXPECT_FALSE(splash.isVisible());
}

TEST(AboutBoxes, TellWhatWhereAndPointOnlyAtThisMachine) {
  ekonfig::Konfig.SetDataDir("/home/test/Documents/BFNOLKW64/data");
  TAboutBox plain;
  TAboutLinksBox links;
  for (const QString& text : {plain.Text(), links.Text()}) {
    EXPECT_TRUE(text.contains("bokföringsnolk")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(BuildStamp()))) << text.toStdString();
    EXPECT_TRUE(text.contains("Licens")) << text.toStdString();
  }
  EXPECT_EQ(plain.windowTitle(), "info");
  EXPECT_TRUE(plain.Text().contains("/home/test/Documents/BFNOLKW64/data"));
  EXPECT_TRUE(plain.Text().contains(QString::fromStdString(ekonfig::KonfigFilePath())));
  ASSERT_EQ(links.Links().size(), 3);
  EXPECT_EQ(links.Links()[1], "file:///home/test/Documents/BFNOLKW64/data");
  for (const QString& link : links.Links()) EXPECT_TRUE(link.startsWith("file:///")) << link.toStdString();
  EXPECT_EQ(links.Links()[0], QUrl::fromLocalFile(HandbookPath()).toString());
}

// The handbook of the source tree these tests were built from.
QString SourceHandbook() {
  return QFileInfo(QDir::cleanPath(BFN_TEST_DATA "/../../../doc/handbok/index.html")).canonicalFilePath();
}

TEST(Handbook, InstalledBesideTheProgramWinsElseTheSourceTrees) {
  ASSERT_FALSE(SourceHandbook().isEmpty());
  EXPECT_EQ(QFileInfo(HandbookPath()).canonicalFilePath(), SourceHandbook());  // a build tree has none installed

  QTemporaryDir prefix;
  ASSERT_TRUE(QDir().mkpath(prefix.path() + "/bin"));
  EXPECT_EQ(QFileInfo(HandbookPath(prefix.path() + "/bin")).canonicalFilePath(), SourceHandbook());
  const QString installed = prefix.path() + "/share/doc/bfnolk/handbok/index.html";
  ASSERT_TRUE(QDir().mkpath(QFileInfo(installed).path()));
  QFile page(installed);
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.close();
  EXPECT_EQ(HandbookPath(prefix.path() + "/bin"), installed);
  EXPECT_EQ(HandbookPath(prefix.path() + "/bin/"), installed);
}
