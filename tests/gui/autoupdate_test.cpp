#include <climits>
#include <functional>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tarnwick/messages.h"
#include "tools_fixture.h"

namespace tarnwick::gui::test {
namespace {

class AutoupdateTest : public ToolsTest {
 protected:
  // Runs Tools > "Autoupadate" with `act` as the person at the dialog.
  int run(const std::function<void(QDialog&)>& act) {
    int result = -1;
    prompts.onModal = [&](QDialog& dialog) {
      dialog.show();
      act(dialog);
      result = dialog.result();
      return result;
    };
    trigger(QStringLiteral("Autoupadate"));
    prompts.onModal = nullptr;
    return result;
  }
  static void fill(QDialog& dialog, const char* address, const char* minutes) {
    child<QLineEdit>(&dialog, "addressEdit")->setText(QString::fromLatin1(address));
    child<QLineEdit>(&dialog, "minutesEdit")->setText(QString::fromLatin1(minutes));
  }
  static void press(QDialog& dialog, const char* button) {
    child<QPushButton>(&dialog, button)->click();
  }
  const QTimer& timer() { return tools().autoupdateTimer(); }
};

TEST_F(AutoupdateTest, EachCheckKeepsTheDialogOpenWithItsMessage) {
  const struct {
    const char* address;
    const char* minutes;
    const char* message;
  } rows[] = {
      {"", "15", messages::kAutoupdateCheckUrl},
      {"https://site.example/", "15", messages::kAutoupdateCheckUrl},
      {"HTTP://site.example/", "15", messages::kAutoupdateCheckUrl},
      {"http://www.brisolm.example/", "15", messages::kAutoupdateNoNeed},
      {"http://unbrisolmed.example/", "15", messages::kAutoupdateNoNeed},
      {"http://a.example/corvenhaldmark", "15", messages::kAutoupdateNoNeed},
      {"http://site.example/", "0", messages::kAutoupdatePeriodInvalid},
      {"http://site.example/", "-4", messages::kAutoupdatePeriodInvalid},
      {"http://site.example/", "ten", messages::kEnterInteger},
      {"http://site.example/", "1.5", messages::kEnterInteger},
      {"http://site.example/", "", messages::kEnterInteger},
  };
  const int result = run([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set autoupdate"));
    EXPECT_EQ(child<QPushButton>(&dialog, "switchButton")->text(), QStringLiteral("Set timer"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "addressEdit")->text(), QString());
    EXPECT_EQ(child<QLineEdit>(&dialog, "minutesEdit")->text(), QStringLiteral("15"));
    for (const auto& row : rows) {
      prompts.asked.clear();
      fill(dialog, row.address, row.minutes);
      press(dialog, "switchButton");
      ASSERT_EQ(prompts.asked.size(), 1u) << row.address << " " << row.minutes;
      EXPECT_EQ(prompts.asked[0].toStdString(), row.message) << row.address << " " << row.minutes;
      EXPECT_TRUE(dialog.isVisible()) << "stays open";
      EXPECT_FALSE(tools().autoupdateState().timerOn) << "nothing switched";
    }
    dialog.reject();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(timer().isActive());
  EXPECT_TRUE(prompts.opened.empty());
}

TEST_F(AutoupdateTest, SetCloseAndKillArmAndStopTheTimer) {
  const QUrl page(QStringLiteral("http://Brisolm.example/news"));
  // Set timer: one minute, the page opened, the dialog ended.
  EXPECT_EQ(run([](QDialog& d) {
              fill(d, "http://Brisolm.example/news", "1");
              press(d, "switchButton");
            }),
            QDialog::Accepted);
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_TRUE(tools().autoupdateState().timerOn);
  EXPECT_EQ(tools().autoupdateState().periodMs, 60000);
  EXPECT_TRUE(timer().isActive());
  EXPECT_EQ(timer().interval(), 60000);
  EXPECT_EQ(prompts.opened, std::vector<QUrl>{page});

  // Opened again: "Kill timer", the edits locked. Close, Esc and the close
  // box each leave it on, re-arm it and open the page once more.
  const std::function<void(QDialog&)> endings[] = {
      [](QDialog& d) { press(d, "closeButton"); },
      [](QDialog& d) { d.reject(); },
      [](QDialog& d) { d.close(); },
  };
  for (const auto& end : endings) {
    run([&](QDialog& d) {
      EXPECT_EQ(child<QPushButton>(&d, "switchButton")->text(), QStringLiteral("Kill timer"));
      EXPECT_FALSE(child<QLineEdit>(&d, "addressEdit")->isEnabled());
      EXPECT_FALSE(child<QLineEdit>(&d, "minutesEdit")->isEnabled());
      EXPECT_EQ(child<QLineEdit>(&d, "minutesEdit")->text(), QStringLiteral("1"));
      end(d);
    });
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(timer().interval(), 60000);
  }
  EXPECT_EQ(prompts.opened, std::vector<QUrl>(4, page));

  // Kill timer: off, stopped, nothing opened; the next use offers "Set timer".
  run([](QDialog& d) { press(d, "switchButton"); });
  EXPECT_FALSE(tools().autoupdateState().timerOn);
  EXPECT_FALSE(timer().isActive());
  EXPECT_EQ(prompts.opened.size(), 4u);
  run([](QDialog& d) {
    EXPECT_EQ(child<QPushButton>(&d, "switchButton")->text(), QStringLiteral("Set timer"));
    EXPECT_TRUE(child<QLineEdit>(&d, "addressEdit")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(&d, "addressEdit")->text(),
              QStringLiteral("http://Brisolm.example/news"));
    press(d, "closeButton");
  });
  EXPECT_FALSE(timer().isActive());
  EXPECT_EQ(prompts.opened.size(), 4u);
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(AutoupdateTest, EnterPressesTheSwitchAndTicksChangeNothing) {
  run([](QDialog& d) {
    fill(d, "http://site.example/", "20");
    QTest::keyClick(child<QLineEdit>(&d, "minutesEdit"), Qt::Key_Return);
  });
  ASSERT_TRUE(tools().autoupdateState().timerOn);
  EXPECT_EQ(timer().interval(), 20 * 60000);
  ASSERT_EQ(prompts.opened.size(), 1u);
  // Ticks, however many, open nothing and change nothing.
  auto& ticking = const_cast<QTimer&>(timer());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(QMetaObject::invokeMethod(&ticking, "timeout"));
  EXPECT_EQ(prompts.opened.size(), 1u);
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_TRUE(timer().isActive());
  EXPECT_TRUE(tools().autoupdateState().timerOn);
  EXPECT_EQ(window->tree().size(), 1u);
}

// Only web addresses reach the browser; a period past what a timer holds is
// held at the longest it can.
TEST_F(AutoupdateTest, WhatIsOpenedAndHowLongThePeriodIs) {
  const struct {
    const char* address;
    const char* minutes;
    std::int64_t periodMs;
    int interval;
    bool opened;
  } rows[] = {
      {"http://site.example/a", "1", 60000, 60000, true},
      {"see http://site.example/b", "2", 120000, 120000, false},
      {"http://site.example/c", "2000000000", 120000000000000, INT_MAX, true},
  };
  for (const auto& row : rows) {
    prompts.opened.clear();
    prompts.asked.clear();
    run([&](QDialog& d) {
      fill(d, row.address, row.minutes);
      press(d, "switchButton");
    });
    EXPECT_EQ(tools().autoupdateState().periodMs, row.periodMs) << row.address;
    EXPECT_EQ(timer().interval(), row.interval) << row.address;
    EXPECT_EQ(prompts.opened.size(), row.opened ? 1u : 0u) << row.address;
    if (!row.opened) {
      ASSERT_EQ(prompts.asked.size(), 1u);
      EXPECT_EQ(prompts.asked[0].toStdString(), messages::kNotWebAddress);
    }
    run([](QDialog& d) { press(d, "switchButton"); });  // killed for the next row
    ASSERT_FALSE(timer().isActive());
  }
}

}  // namespace
}  // namespace tarnwick::gui::test
