#pragma once
// Font: a catalogue font by name and a size, with a sample of the choice.

#include "app/dialogs/ModalDialog.h"

#include <string>
#include <vector>

class QComboBox;

namespace zavora {

class FontCatalogue;

class FontDialog : public ModalDialog {
    Q_OBJECT
public:
    // A font as the list shows it and the sample draws it.
    struct Choice {
        std::string name; // the catalogue's (PostScript) name
        std::string family; // the face name the sample is drawn with
        bool bold = false;
        bool italic = false;
    };

    explicit FontDialog(QWidget* owner);

    // Every font of the catalogue, in its order.
    static std::vector<Choice> choicesFrom(const FontCatalogue& catalogue);
    static const std::vector<double>& standardSizes();

    void setChoices(std::vector<Choice> choices);
    void setFont(const std::string& name, double size);
    const std::string& fontName() const { return m_name; }
    double size() const { return m_size; }

protected:
    bool validate() override;
    void commit() override;

private:
    const Choice* findChoice(const std::string& name) const;
    void updateSample();

    std::vector<Choice> m_choices;
    std::string m_name;
    double m_size = 12;
    QComboBox* m_names;
    QComboBox* m_sizes;
    QWidget* m_sample;
};

} // namespace zavora
