#include "app/dialog_loop.h"

#include <gtest/gtest.h>

namespace {

using App::EventKind;

enum class Request { None, Confirm, Cancel, Generate };

constexpr int kWindow = App::kDialogWindow;
constexpr App::DialogRow<Request> kRows[] = {
    {.event = App::DialogKey(App::kDialogConfirm), .request = Request::Confirm},
    {.event = App::DialogKey(App::kDialogCancel), .request = Request::Cancel},
    {.event = App::DialogControl(25), .request = Request::Confirm},
    {.event = App::DialogControl(26), .request = Request::Cancel},
    {.event = App::DialogControl(30), .request = Request::Generate},
};

TEST(DialogTable, EachEventOfTheWindowAsksWhatItsRowSays) {
  const struct {
    App::Event event;
    Request expected;
  } cases[] = {
      {{EventKind::Close, kWindow, 0, 0}, Request::Cancel},
      {{EventKind::Close, App::kMainWindow, 0, 0}, Request::None},
      {{EventKind::Menu, kWindow, App::kDialogConfirm, 0}, Request::Confirm},
      {{EventKind::Menu, kWindow, App::kDialogCancel, 0}, Request::Cancel},
      {{EventKind::Control, kWindow, 25, App::kClicked}, Request::Confirm},
      {{EventKind::Control, kWindow, 26, App::kClicked}, Request::Cancel},
      {{EventKind::Control, kWindow, 30, App::kClicked}, Request::Generate},
      // A row answers only its own kind of event, of the dialog's own window.
      {{EventKind::Control, kWindow, App::kDialogConfirm, App::kClicked}, Request::None},
      {{EventKind::Menu, kWindow, 25, 0}, Request::None},
      {{EventKind::Control, App::kMainWindow, 25, App::kClicked}, Request::None},
      {{EventKind::Control, kWindow, 27, App::kClicked}, Request::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(App::MapDialogEvent(c.event, kWindow, kRows), c.expected)
        << static_cast<int>(c.event.kind) << " " << c.event.window << " " << c.event.object;
  }
}

}  // namespace
