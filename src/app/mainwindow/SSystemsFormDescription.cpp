// The description window as the main window uses it: created with the main
// window, placed by the settings file, and showing the description of each
// document read and handing it over for each document written.
#include "app/mainwindow/SSystemsForm.h"

#include "app/dialogs/DescriptionForms.h"
#include "app/widgets/ScreenFit.h"

#include <QCheckBox>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

void TSolarSystemForm::CreateDescriptionForm()
{
  DescriptionForm = new TDescriptionForm(this, Prompts());
  SBDescription->setEnabled(true);
  // The description is part of the document.
  connect(DescriptionForm->Memo->document(), &QTextDocument::contentsChanged, this,
          [this] { MarkDocumentChanged(); });
}

void TSolarSystemForm::PlaceDescriptionForm()
{
  PlaceOnScreen(DescriptionForm, QPoint(settings_.DescriptionLeft, settings_.DescriptionTop),
                QSize(settings_.DescriptionWidth, settings_.DescriptionHeight));
  DescriptionForm->SetStayOnTop(settings_.DescriptionStayOnTop);
}

void TSolarSystemForm::KeepDescriptionPlace(TSettings& s) const
{
  s.DescriptionLeft = DescriptionForm->x();
  s.DescriptionTop = DescriptionForm->y();
  s.DescriptionWidth = DescriptionForm->width();
  s.DescriptionHeight = DescriptionForm->height();
  s.DescriptionStayOnTop = DescriptionForm->StayOnTop();
}

void TSolarSystemForm::CollectDescription(TDocumentState& state) const
{
  state.DescriptionColor = DescriptionForm->BackgroundColor();
  state.DescriptionVisible = DescriptionForm->Showing();
  state.Description = DescriptionForm->WriteDescription();
}

void TSolarSystemForm::ShowDocumentDescription(const TDocumentState& state)
{
  // A 1.0 document brings the window's place too.
  if (state.DescriptionWindow) PlaceDescriptionForm();
  DescriptionForm->SetBackgroundColor(state.DescriptionColor);
  DescriptionForm->ReadDescription(state.Description);
  DescriptionForm->setVisible(state.DescriptionVisible);
}

void TSolarSystemForm::SBDescriptionClick()
{
  DescriptionForm->setVisible(SBDescription->isChecked());
  MarkDocumentChanged();
}

void TSolarSystemForm::CBDescriptionStayOnTopClick()
{
  settings_.DescriptionStayOnTop = CBDescriptionStayOnTop->isChecked();
  DescriptionForm->SetStayOnTop(settings_.DescriptionStayOnTop);
}
