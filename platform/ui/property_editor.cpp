#include "platform/ui/property_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <functional>
#include <limits>
#include <vector>

#include "platform/property/property_set.h"

namespace ui {

namespace {

using property::PropertyDescription;
using property::PropertyValue;

QString Q(const std::string& text) { return QString::fromStdString(text); }

template <typename T>
T As(const PropertyValue& value, T fallback) {
  if (const T* v = std::get_if<T>(&value)) return *v;
  return fallback;
}

// One edited property: its editor and how to read a value back from it.
struct Field {
  std::string name;
  std::function<PropertyValue()> read;
  PropertyValue original;
};

// Whole numbers are edited as text so that 64-bit ranges fit; a value that
// lies outside the range is refused by the object, and text that is not a
// number keeps the value as it was (rather than reading as 0).
QWidget* NumberEditor(const PropertyDescription& d, const PropertyValue& value, Field& field) {
  auto* edit = new QLineEdit;
  if (d.kind == PropertyDescription::Kind::Integer) {
    edit->setText(QString::number(As<std::int64_t>(value, 0)));
    edit->setPlaceholderText(QStringLiteral("%1 … %2")
                                 .arg(As<std::int64_t>(d.minimum, 0))
                                 .arg(As<std::int64_t>(d.maximum, 0)));
    field.read = [edit, value]() -> PropertyValue {
      bool ok = false;
      const qlonglong typed = edit->text().trimmed().toLongLong(&ok);
      return ok ? PropertyValue(static_cast<std::int64_t>(typed)) : value;
    };
  } else {
    edit->setText(QString::number(As<std::uint64_t>(value, 0)));
    edit->setPlaceholderText(QStringLiteral("%1 … %2")
                                 .arg(As<std::uint64_t>(d.minimum, 0))
                                 .arg(As<std::uint64_t>(d.maximum, 0)));
    field.read = [edit, value]() -> PropertyValue {
      bool ok = false;
      const qulonglong typed = edit->text().trimmed().toULongLong(&ok);
      return ok ? PropertyValue(static_cast<std::uint64_t>(typed)) : value;
    };
  }
  return edit;
}

QWidget* EditorFor(const PropertyDescription& d, const PropertyValue& value, Field& field) {
  using Kind = PropertyDescription::Kind;
  switch (d.kind) {
    case Kind::Boolean: {
      auto* box = new QCheckBox;
      box->setChecked(As<bool>(value, false));
      field.read = [box]() -> PropertyValue { return box->isChecked(); };
      return box;
    }
    case Kind::Integer:
    case Kind::Unsigned:
      return NumberEditor(d, value, field);
    case Kind::Double: {
      auto* spin = new QDoubleSpinBox;
      spin->setDecimals(4);
      spin->setRange(As<double>(d.minimum, -std::numeric_limits<double>::max()),
                     As<double>(d.maximum, std::numeric_limits<double>::max()));
      spin->setValue(As<double>(value, 0.0));
      // The box shows four decimals: an untouched box gives back the exact
      // value it was given, not its rounded form.
      field.read = [spin, shown = spin->value(), value]() -> PropertyValue {
        return spin->value() == shown ? value : PropertyValue(spin->value());
      };
      return spin;
    }
    case Kind::Enum: {
      auto* combo = new QComboBox;
      const auto current = As<std::int64_t>(value, 0);
      for (const auto& [number, name] : d.choices) {
        combo->addItem(Q(name), QVariant::fromValue(static_cast<qlonglong>(number)));
        if (number == current) combo->setCurrentIndex(combo->count() - 1);
      }
      field.read = [combo]() -> PropertyValue {
        return static_cast<std::int64_t>(combo->currentData().toLongLong());
      };
      return combo;
    }
    case Kind::Flags: {
      auto* box = new QWidget;
      auto* layout = new QVBoxLayout(box);
      layout->setContentsMargins(0, 0, 0, 0);
      const auto current = As<std::int64_t>(value, 0);
      std::vector<std::pair<QCheckBox*, std::int64_t>> checks;
      for (const auto& [bit, name] : d.choices) {
        auto* check = new QCheckBox(Q(name));
        check->setChecked(bit != 0 && (current & bit) == bit);
        layout->addWidget(check);
        checks.emplace_back(check, bit);
      }
      field.read = [checks]() -> PropertyValue {
        std::int64_t flags = 0;
        for (const auto& [check, bit] : checks)
          if (check->isChecked()) flags |= bit;
        return flags;
      };
      return box;
    }
    case Kind::Text: {
      auto* edit = new QLineEdit(Q(As<std::string>(value, {})));
      field.read = [edit]() -> PropertyValue { return edit->text().toStdString(); };
      return edit;
    }
  }
  return nullptr;
}

}  // namespace

bool RunPropertyEditor(QWidget* parent, const std::string& caption, property::PropertySet& object) {
  QDialog dialog(parent);
  dialog.setWindowTitle(Q(caption));
  dialog.setAccessibleName(Q(caption));
  auto* form = new QFormLayout;
  std::vector<Field> fields;
  const auto descriptions = object.Describe();
  fields.reserve(descriptions.size());
  for (const auto& d : descriptions) {
    Field field{d.name, {}, object.Get(d.name)};
    QWidget* editor = EditorFor(d, field.original, field);
    if (!editor) continue;
    editor->setToolTip(Q(d.description));
    editor->setAccessibleName(Q(d.label.empty() ? d.name : d.label));
    form->addRow(Q(d.label.empty() ? d.name : d.label), editor);
    fields.push_back(std::move(field));
  }
  auto* content = new QWidget;
  content->setLayout(form);
  auto* scroll = new QScrollArea;
  scroll->setWidget(content);
  scroll->setWidgetResizable(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                       QDialogButtonBox::Apply);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(scroll);
  if (fields.empty()) layout->addWidget(new QLabel(QStringLiteral("This object has no settings.")));
  layout->addWidget(buttons);

  auto apply = [&] {
    for (auto& field : fields) {
      const PropertyValue value = field.read();
      if (value != field.original && object.Set(field.name, value)) field.original = value;
    }
  };
  QObject::connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, &dialog, apply);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    apply();
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.resize(480, 400);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace ui
