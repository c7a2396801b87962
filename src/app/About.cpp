#include "app/About.h"

#include "app/core/ProgramVersion.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace plendoro {

namespace {
// A link label: blue, underlined while the mouse is over it.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, const QString& url, QWidget* parent) : QLabel(text, parent), url_(url)
    {
        setCursor(Qt::PointingHandCursor);
        Style(false);
    }

protected:
    void enterEvent(QEnterEvent*) override { Style(true); }
    void leaveEvent(QEvent*) override { Style(false); }
    void mouseReleaseEvent(QMouseEvent*) override { QDesktopServices::openUrl(QUrl(url_)); }

private:
    void Style(bool hot)
    {
        setStyleSheet(hot ? QStringLiteral("color: blue; text-decoration: underline;") : QString());
    }
    QString url_;
};
} // namespace

TAboutForm::TAboutForm(const QString& usbLibrary, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("Kovaltrak Plendoro\nКонфигуратор трекера Kovaltrak WiFi"), this);
    product->setAlignment(Qt::AlignCenter);
    QFont f = product->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    product->setFont(f);
    layout->addWidget(product);

    version_ = new QLabel(
        QStringLiteral("Версия %1").arg(QString::fromStdString(FormatProgramVersion(BuiltProgramVersion()))), this);
    version_->setObjectName(QStringLiteral("lblVersion"));
    version_->setAlignment(Qt::AlignCenter);
    layout->addWidget(version_);

    if (!usbLibrary.isEmpty()) {
        library_ = new QLabel(QStringLiteral("Библиотека USB: %1").arg(usbLibrary), this);
        library_->setObjectName(QStringLiteral("lblUsbLibrary"));
        library_->setAccessibleName(library_->text());
        library_->setAlignment(Qt::AlignCenter);
        library_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(library_);
    }

    auto* site = new LinkLabel(QStringLiteral("kovaltrak.ru"), QString::fromLatin1(kSiteUrl), this);
    auto* mail = new LinkLabel(QStringLiteral("support@kovaltrak.ru"), QString::fromLatin1(kMailUrl), this);
    site->setAlignment(Qt::AlignCenter);
    mail->setAlignment(Qt::AlignCenter);
    layout->addWidget(site);
    layout->addWidget(mail);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::close);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

} // namespace plendoro
