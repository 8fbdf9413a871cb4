// The property editor as a user leaves it: untouched boxes give back the
// values they were given, text that is not a number changes nothing, Cancel
// writes nothing.

#include "platform/ui/property_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "tests/support/fake_codecs.h"

namespace {

using test_support::FakeSettings;

// Runs the editor; `user` acts on the open dialog, then presses `button`.
bool Edit(FakeSettings& settings, std::function<void(QDialog&)> user,
          QDialogButtonBox::StandardButton button) {
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    user(*dialog);
    dialog->findChild<QDialogButtonBox*>()->button(button)->click();
  });
  return ui::RunPropertyEditor(nullptr, "Fake", settings);
}

void Type(QDialog& dialog, const char* field, const char* text) {
  for (auto* edit : dialog.findChildren<QLineEdit*>())
    if (edit->accessibleName() == QLatin1String(field)) {
      edit->setText(QLatin1String(text));
      return;
    }
  ADD_FAILURE() << "no field " << field;
}

TEST(PropertyEditor, OkWithoutChangesKeepsEveryValueExactly) {
  FakeSettings settings;
  ASSERT_TRUE(settings.Set("quality", 0.123456789));
  ASSERT_TRUE(settings.Set("bitrate", std::uint64_t{99999}));
  const auto untouched = [](QDialog&) {};
  EXPECT_TRUE(Edit(settings, untouched, QDialogButtonBox::Ok));
  EXPECT_EQ(settings.Get("quality"), property::PropertyValue(0.123456789));
  EXPECT_EQ(settings.Get("bitrate"), property::PropertyValue(std::uint64_t{99999}));
}

TEST(PropertyEditor, TypedNumbersAreTakenAndTextThatIsNoNumberChangesNothing) {
  FakeSettings settings;
  ASSERT_TRUE(settings.Set("offset", std::int64_t{5}));
  EXPECT_TRUE(Edit(
      settings,
      [](QDialog& d) {
        Type(d, "bitrate", " 1234 ");
        Type(d, "offset", "minus two");
      },
      QDialogButtonBox::Ok));
  EXPECT_EQ(settings.Get("bitrate"), property::PropertyValue(std::uint64_t{1234}));
  EXPECT_EQ(settings.Get("offset"), property::PropertyValue(std::int64_t{5}));

  const auto typeAndCancel = [](QDialog& d) { Type(d, "bitrate", "77"); };
  EXPECT_FALSE(Edit(settings, typeAndCancel, QDialogButtonBox::Cancel));
  EXPECT_EQ(settings.Get("bitrate"), property::PropertyValue(std::uint64_t{1234}));
}

}  // namespace
