#pragma once
// Page "Аналоговые входы" (TabSheet7). The form carries every field with its
// initial value, range and gate/filter metadata; the page rules are attached
// by the editor, so the page itself stays free of behaviour.
#include <QWidget>

#include <memory>

namespace Ui {
class AnalogPage;
}

namespace plendoro {

class AnalogPage : public QWidget {
    Q_OBJECT

public:
    explicit AnalogPage(QWidget* parent = nullptr);
    ~AnalogPage() override;

private:
    std::unique_ptr<Ui::AnalogPage> ui_;
};

} // namespace plendoro
