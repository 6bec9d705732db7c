#include "app/dialogs/FloatEdit.h"

#include "app/mainwindow/TimeStepTexts.h"  // GeneralNumberText
#include "app/UserPrompts.h"

#include <QFocusEvent>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

QChar LocaleDecimalPoint()
{
  const QString point = QLocale().decimalPoint();
  return point.isEmpty() ? QChar('.') : point.front();
}

std::string WithLocalePoint(std::string s)
{
  const std::string point = QString(LocaleDecimalPoint()).toStdString();
  const std::size_t dot = s.find('.');
  if (dot != std::string::npos && point != ".") s.replace(dot, 1, point);
  return s;
}

// "1.5e+20" -> "1.5E20", "1e-05" -> "1E-5".
std::string PlainExponent(const std::string& s)
{
  const std::size_t e = s.find_first_of("eE");
  if (e == std::string::npos) return s;
  std::string exp = s.substr(e + 1);
  std::string sign;
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
    if (exp[0] == '-') sign = "-";
    exp.erase(0, 1);
  }
  while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
  return s.substr(0, e) + "E" + sign + exp;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FloatEditText(long double value, int digits)
{
  if (!std::isfinite(value)) return GeneralNumberText(value);
  if (digits < 0) digits = 0;
  char buf[128];
  // Rounding to 18 significant digits first keeps the noise of the last
  // binary digits out of the text.
  std::snprintf(buf, sizeof buf, "%.17Le", value);
  long double rounded = value;
  std::from_chars(buf, buf + std::char_traits<char>::length(buf), rounded);
  if (std::fabs(rounded) >= 1e18L) {
    std::snprintf(buf, sizeof buf, "%.18Lg", rounded);
    return WithLocalePoint(PlainExponent(buf));
  }
  std::snprintf(buf, sizeof buf, "%.*Lf", digits, rounded);
  std::string s = buf;
  // No "-0.000" for a value that rounds to zero.
  if (s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
  return WithLocalePoint(s);
}

bool ParseFloatEditText(const std::string& text, long double& value)
{
  const QChar point = LocaleDecimalPoint();
  const QString trimmed = QString::fromStdString(text).trimmed();
  // Brought into the C notation; the other separator is no part of it.
  std::string s;
  for (const QChar c : trimmed) {
    if (c == point)
      s += '.';
    else if (c == '.' || c.unicode() > 127)
      return false;
    else
      s += static_cast<char>(c.unicode());
  }
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t start = i;
  int mantissaDigits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++mantissaDigits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    int expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  // from_chars takes neither a plus sign nor the locale into account.
  std::string c = s.substr(0, start);
  if (c == "+") c.clear();
  c += s.substr(start);
  long double v = 0;
  const auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
  if (ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string NotANumberMessage(const std::string& text)
{
  return "'" + text + "' is not a numerical value.\r\nThe value was not changed.";
}

std::string OutOfRangeMessage(long double minValue, long double maxValue)
{
  return "The value is out of range (" + GeneralNumberText(minValue) + " .. " +
         GeneralNumberText(maxValue) + ").";
}

TFloatEdit::TFloatEdit(QWidget* parent) : QLineEdit(parent)
{
  setText(QString::fromStdString(FloatEditText(value_, Digits)));
}

long double TFloatEdit::Value()
{
  CheckText();
  return value_;
}

void TFloatEdit::SetValue(long double v)
{
  value_ = v;
  setText(QString::fromStdString(FloatEditText(value_, Digits)));
}

void TFloatEdit::CheckText()
{
  if (checking_) return;
  checking_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{checking_};

  const std::string typed = text().toStdString();
  long double v = 0;
  if (!ParseFloatEditText(typed, v)) {
    setFocus();
    Refuse(NotANumberMessage(typed));
  } else if (v > MaxValue || v < MinValue) {
    Refuse(OutOfRangeMessage(MinValue, MaxValue));
  } else {
    value_ = v;
  }
  setText(QString::fromStdString(FloatEditText(value_, Digits)));
}

void TFloatEdit::Refuse(const std::string& message)
{
  if (prompts_) {
    prompts_->Message(window(), message);
  } else {
    TDialogPrompts desktop;
    desktop.Message(window(), message);
  }
}

void TFloatEdit::focusOutEvent(QFocusEvent* event)
{
  QLineEdit::focusOutEvent(event);
  // Switching to another program or opening the field's own menu is no
  // leaving of the field.
  if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
    return;
  CheckText();
}
