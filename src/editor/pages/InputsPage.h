#pragma once
// Page "Цифровые входы" (TabSheet2) of the main page set, with the inner page
// set pcInputs of "Входы 1-4" and "Входы 5-8". Field metadata (minimum
// firmware version, key filter, maximum length) sits on the form, so the
// version gate and the key filters read it from the widgets themselves; the
// page's rules are attached by the editor from outside.

#include <QWidget>
#include <memory>

namespace Ui {
class InputsPage;
}

namespace plendoro {

class InputsPage : public QWidget {
    Q_OBJECT
public:
    explicit InputsPage(QWidget* parent = nullptr);
    ~InputsPage() override;

    // The row captions and the defaults button exist once and are shown on
    // whichever inner page is current, so that rules naming them find exactly
    // one field. This puts them onto inner page `index` of pcInputs, each in
    // the place it took on the page it leaves; the inner page's caption column
    // keeps empty rows for them, so the rows stay aligned with the inputs.
    void moveSharedCaptionsTo(int index);

private:
    std::unique_ptr<Ui::InputsPage> ui_;
};

} // namespace plendoro
