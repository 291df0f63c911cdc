#include "shell/ekonfig32.h"
#include "shell/ui/about32.h"
#include "shell/ui/esplashform.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

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
}
