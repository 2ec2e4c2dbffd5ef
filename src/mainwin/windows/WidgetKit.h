#pragma once
// The small helpers every window builds its controls with: controls carry their names as
// objectNames (the tests and the window states find them by name), buttons leave Enter to
// the text boxes, and labels show the system's CR-broken texts.
#include <QString>

class QGroupBox;
class QPushButton;
class QWidget;

namespace qarno {

// The control, with its name as its objectName.
template <typename T>
T* Named(T* w, const char* name) {
  w->setObjectName(QLatin1String(name));
  return w;
}

// A push button that is never the default one: Enter belongs to the text boxes.
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);

// A named frame with its caption.
QGroupBox* Frame(QWidget* parent, const char* name, const QString& caption);

// The system's texts break lines with CR (or CR LF); a label breaks them at LF.
QString LabelText(QString text);

}  // namespace qarno
