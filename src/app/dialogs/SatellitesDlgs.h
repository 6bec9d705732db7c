// "Show satellites": one check box per natural satellite of the scene,
// grouped by planet, loaded from the satellites' Visible flags and written
// back on OK. Telesto and Calypso can be shown only with Tethys, Helene
// only with Dione.
#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;
class TOEObjectList;
class TSatellite;

class TSatellitesDlg : public QDialog {
public:
  explicit TSatellitesDlg(QWidget* parent = nullptr);

  // Sets every box from its satellite in the planets of `planets`.
  void LoadChoices(TOEObjectList& planets);
  // Writes every box into its satellite, then closes with OK.
  void OKBtnClick();
  void SBAllClick();
  void SBNoneClick();
  void CBTethysClick();
  void CBDioneClick();

  // The body number a box stands for.
  static int BoxBodyNumber(const QCheckBox* box);

  // The 22 boxes, Moon first, Oberon last.
  std::vector<QCheckBox*> SatelliteBoxes;
  QGroupBox* GBEarth = nullptr;
  QGroupBox* GBJupiter = nullptr;
  QGroupBox* GBSaturn = nullptr;
  QGroupBox* GroupBox1 = nullptr;  // Uranus
  QCheckBox* CBTethys = nullptr;
  QCheckBox* CBTelesto = nullptr;
  QCheckBox* CBCalypso = nullptr;
  QCheckBox* CBDione = nullptr;
  QCheckBox* CBHelene = nullptr;
  QPushButton* SBAll = nullptr;
  QPushButton* SBNone = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void FormCreate();
  // The satellite of that number in the first planet that has one.
  TSatellite* FindSatellite(int bodyNumber) const;

  TOEObjectList* planets_ = nullptr;
};
