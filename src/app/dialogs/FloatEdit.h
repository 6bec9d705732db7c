// A one-line field holding a checked real number within limits. The user
// may type anything; the text is checked when the field loses the focus and
// whenever Value is read. A text that is not a number, or a number outside
// [MinValue, MaxValue], is refused with a message and the field shows the
// previous value again.
#pragma once

#include <QLineEdit>

#include <string>

class TUserPrompts;

class TFloatEdit : public QLineEdit {
public:
  explicit TFloatEdit(QWidget* parent = nullptr);

  // Runs the check first, so a refused text shows its message here.
  long double Value();
  // Stores v as it is (no limit test) and shows it.
  void SetValue(long double v);

  long double MinValue = 0;
  long double MaxValue = 1e99L;
  int Digits = 3;  // decimals shown

  // Where the refusals are shown; null: the desktop's own message box.
  void SetPrompts(TUserPrompts* prompts) { prompts_ = prompts; }

  // Reads the text; accepts it as the value or refuses it; then shows the
  // value's display form.
  void CheckText();

protected:
  void focusOutEvent(QFocusEvent* event) override;

private:
  void Refuse(const std::string& message);

  long double value_ = 0;
  TUserPrompts* prompts_ = nullptr;
  // The message box of a refusal takes the focus; that focus loss must not
  // check the text a second time.
  bool checking_ = false;
};

// The display form of a value: fixed point with `digits` decimals, at most
// 18 significant digits, the locale's decimal separator and no thousands
// separators; scientific notation when the integer part needs more than 18
// digits.
std::string FloatEditText(long double value, int digits);
// A number in the locale's notation (its decimal separator, optional sign
// and exponent, blanks around it); false for anything else, including
// values that are not finite.
bool ParseFloatEditText(const std::string& text, long double& value);
// The two refusals.
std::string NotANumberMessage(const std::string& text);
std::string OutOfRangeMessage(long double minValue, long double maxValue);
