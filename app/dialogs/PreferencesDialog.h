#pragma once
// Preferences: a sheet of two pages, the paper size and the ruler units.

#include "app/dialogs/ModalDialog.h"

class QButtonGroup;
class QTabWidget;

namespace zavora {

class PreferencesDialog : public ModalDialog {
    Q_OBJECT
public:
    enum Paper { Letter, Legal, A4, Custom };

    explicit PreferencesDialog(QWidget* owner);

    // Points; a size matching a standard paper selects it.
    void setPaper(int width, int height);
    // 0 inches, 1 points, 2 centimetres.
    void setUnits(int units);
    int paperWidth() const { return m_width; }
    int paperHeight() const { return m_height; }
    int units() const { return m_units; }

    void choosePaper(Paper paper);
    // Shows a page: 0 paper, 1 units. Leaving the paper page checks it first.
    void showPage(int page);

protected:
    bool validate() override;
    void commit() override;

private:
    void pageChanging(int index);
    bool paperValid();

    int m_width = 612;
    int m_height = 792;
    int m_units = 0;
    int m_page = 0;
    QTabWidget* m_tabs;
    QButtonGroup* m_paper;
    QButtonGroup* m_unitGroup;
    QLineEdit* m_widthBox;
    QLineEdit* m_heightBox;
};

} // namespace zavora
