#pragma once
// Typed-character filters of the editor's text fields. The filter class of a
// field is data of the form (dynamic property "keyFilter"), so the pages carry
// no code lists; one call after the pages are built arms every field.

#include <QChar>
#include <QString>

class QWidget;

namespace plendoro {

// Filter classes as they appear in the "keyFilter" property.
inline constexpr const char* kKeyFilterProperty = "keyFilter";
inline constexpr const char* kFilterNumeric = "numeric";
inline constexpr const char* kFilterHex = "hex";
inline constexpr const char* kFilterAddress = "address";
inline constexpr const char* kFilterLiteral = "literal";

// Whether a field of the given class accepts the typed character c. Every
// class also passes the control codes of backspace (8), copy (3) and paste
// (22); anything else outside the class's set is refused. An unknown class
// filters nothing.
bool FieldFilterAccepts(const QString& filterClass, QChar c);

// Installs one shared event filter on every QLineEdit at or below root that
// carries "keyFilter", and on every QSpinBox carrying it together with the
// QLineEdit inside it. Safe to call again after more fields were added: a
// field is armed once.
void InstallFieldFilters(QWidget* root);

} // namespace plendoro
