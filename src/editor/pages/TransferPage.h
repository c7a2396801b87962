#pragma once
// Page "Передача данных" (TabSheet15) of the main page set. Field metadata
// (minimum firmware version, key filter, maximum length) sits on the form, so
// the version gate and the key filters read it from the widgets themselves; the
// page's rules are attached by the editor from outside.
//
// The control-point transfer group is on the form but hidden and disabled, like
// the rest of the dormant control-point editor.

#include <QWidget>
#include <memory>

namespace Ui {
class TransferPage;
}

namespace plendoro {

class TransferPage : public QWidget {
    Q_OBJECT
public:
    explicit TransferPage(QWidget* parent = nullptr);
    ~TransferPage() override;

private:
    std::unique_ptr<Ui::TransferPage> ui_;
};

} // namespace plendoro
