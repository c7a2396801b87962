#include "editor/rules/ControlPointRules.h"
#include "editor/rules/FieldSetters.h"

#include "common/Cp1251.h"
#include "editor/FieldBalloon.h"
#include "editor/FieldLookup.h"
#include "model/TextNumbers.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <cstring>

namespace plendoro {

namespace {

constexpr int kCircle = 0;
// cbSendEvCP1: the point number is the 11th character of the sender's name.
constexpr int kTransferDigitPosition = 10;

std::int32_t PlainReading(const QLineEdit* field)
{
    return field ? ReadDecimal(field->text().toStdString(), 0) : 0;
}

bool Checked(const QAbstractButton* box)
{
    return box && box->isChecked();
}

} // namespace

ControlPointRules::ControlPointRules(SettingsEditor& editor)
    : QObject(&editor),
      slot_(editor, &SettingsEditor::controlPoints, this)
{
    setObjectName(QStringLiteral("ControlPointRules"));

    CPPageControl_ = editor.FieldAs<QTabWidget>(QStringLiteral("CPPageControl"));
    gbCPFields_ = editor.FieldAs<QGroupBox>(QStringLiteral("gbCPFields"));
    cbCPActive_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbCPActive"));
    cbCPType_ = editor.FieldAs<QComboBox>(QStringLiteral("cbCPType"));
    edCPRadius_ = editor.FieldAs<QLineEdit>(QStringLiteral("edCPRadius"));
    lblCPRadius_ = editor.FieldAs<QLabel>(QStringLiteral("lblCPRadius"));
    edCPFixTime_ = editor.FieldAs<QLineEdit>(QStringLiteral("edCPFixTime"));
    cbCPInSms_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbCPInSms"));
    cbCPOutSms_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbCPOutSms"));
    cbCPInGPRS_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbCPInGPRS"));
    cbCPOutGPRS_ = editor.FieldAs<QAbstractButton>(QStringLiteral("cbCPOutGPRS"));
    edCPTelNum_ = editor.FieldAs<QLineEdit>(QStringLiteral("edCPTelNum"));

    for (const char* name : {"edCPFixTime", "edCPRadius", "cbCPType", "cbCPInSms", "cbCPOutSms", "cbCPInGPRS",
                             "cbCPOutGPRS", "btnShowMaps", "lblCPCoords", "lblCPFixTime", "lblCPTransfer", "lblCPGprs",
                             "lblCPIn", "lblCPTelNum", "lblCPOut", "lblCPSend", "lblCPSms", "lblCPType"})
        if (QWidget* w = editor.Field(QLatin1String(name)))
            activeFollowers_.push_back(w);

    for (int n = 1; n <= kPointCount; ++n) {
        cbSendEvCP_[n - 1] = editor.FieldAs<QAbstractButton>("cbSendEvCP", n);
        cbSendEvtLvlCP_[n - 1] = editor.Field("cbSendEvtLvlCP", n);
        if (cbSendEvCP_[n - 1])
            connect(cbSendEvCP_[n - 1], &QAbstractButton::toggled, this, &ControlPointRules::cbSendEvCP1Click);
    }

    if (cbCPActive_)
        connect(cbCPActive_, &QAbstractButton::toggled, this, &ControlPointRules::cbCPActiveClick);
    for (QAbstractButton* sms : {cbCPInSms_, cbCPOutSms_})
        if (sms)
            connect(sms, &QAbstractButton::toggled, this, &ControlPointRules::cbCPSmsClick);
    if (cbCPType_)
        connect(cbCPType_, &QComboBox::activated, this, &ControlPointRules::cbCPTypeChange);
    if (edCPRadius_)
        edCPRadius_->installEventFilter(this);
    if (CPPageControl_) {
        shown_ = std::max(0, CPPageControl_->currentIndex());
        connect(CPPageControl_, &QTabWidget::currentChanged, this, &ControlPointRules::OnPageChanged);
    }
}

const ControlPoint& ControlPointRules::Record(int point) const
{
    return records_.at(static_cast<std::size_t>(point - 1));
}

ControlPoint& ControlPointRules::Record(int point)
{
    return records_.at(static_cast<std::size_t>(point - 1));
}

bool ControlPointRules::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edCPRadius_ && event->type() == QEvent::FocusOut)
        edCPRadiusExit();
    return QObject::eventFilter(watched, event);
}

void ControlPointRules::cbCPActiveClick()
{
    const bool active = Checked(cbCPActive_);
    for (QWidget* w : activeFollowers_)
        w->setEnabled(active);
    cbCPSmsClick();
    cbCPTypeChange();
}

void ControlPointRules::cbCPSmsClick()
{
    Enable(edCPTelNum_, Checked(cbCPActive_) && (Checked(cbCPInSms_) || Checked(cbCPOutSms_)));
}

void ControlPointRules::cbCPTypeChange()
{
    const bool circle = cbCPType_ && cbCPType_->currentIndex() == kCircle;
    Enable(edCPRadius_, circle && Checked(cbCPActive_));
    Enable(lblCPRadius_, edCPRadius_ && IsOwnEnabled(edCPRadius_));
}

void ControlPointRules::edCPRadiusExit()
{
    records_[shown_].radius = PlainReading(edCPRadius_);
}

void ControlPointRules::CPPageControlChanging(QWidget* sender, bool& allow)
{
    ControlPoint& cp = records_[shown_];

    std::uint32_t flags = 0;
    if (Checked(cbCPActive_))
        flags |= kCPActive;
    if (cbCPType_)
        flags |= static_cast<std::uint32_t>(cbCPType_->currentIndex()) & kCPTypeMask;
    if (Checked(cbCPInSms_))
        flags |= kCPInSms;
    if (Checked(cbCPOutSms_))
        flags |= kCPOutSms;
    if (Checked(cbCPInGPRS_))
        flags |= kCPInTransfer;
    if (Checked(cbCPOutGPRS_))
        flags |= kCPOutTransfer;
    cp.flags = flags;

    cp.radius = PlainReading(edCPRadius_);
    cp.fixTime = PlainReading(edCPFixTime_);

    cp.phone.fill('\0');
    if (edCPTelNum_) {
        // One byte per character in the code page, so 12 characters fit the
        // 12 bytes before the terminator.
        const std::string bytes = Utf8ToCp1251(edCPTelNum_->text().left(ControlPoint::kPhoneChars).toStdString());
        std::memcpy(cp.phone.data(), bytes.data(), std::min<std::size_t>(bytes.size(), ControlPoint::kPhoneChars));
    }

    std::size_t total = 0;
    for (const ControlPoint& r : records_)
        total += r.points.size();
    if (total > static_cast<std::size_t>(kMaxVertices)) {
        allow = false;
        ShowFieldError(QStringLiteral("Слишком много точек"), sender);
    }
}

bool ControlPointRules::StoreRule()
{
    bool allow = true;
    CPPageControlChanging(CPPageControl_, allow);
    return allow;
}

void ControlPointRules::MoveFieldsTo(QWidget* page)
{
    if (!gbCPFields_ || !page)
        return;
    QWidget* from = gbCPFields_->parentWidget();
    if (from == page)
        return;
    // The first page lays the fields out in a nested layout; remember where,
    // so they go back to the same place.
    if (!homePage_) {
        homePage_ = from;
        if (from)
            for (auto* l : from->findChildren<QBoxLayout*>())
                if (int i = l->indexOf(gbCPFields_); i >= 0) {
                    homeLayout_ = l;
                    homeIndex_ = i;
                    break;
                }
    }
    if (from)
        for (auto* l : from->findChildren<QLayout*>())
            if (l->indexOf(gbCPFields_) >= 0) {
                l->removeWidget(gbCPFields_);
                break;
            }
    gbCPFields_->setParent(page);
    if (page == homePage_ && homeLayout_)
        homeLayout_->insertWidget(homeIndex_, gbCPFields_);
    else if (auto* box = qobject_cast<QBoxLayout*>(page->layout()))
        box->insertWidget(0, gbCPFields_, 0, Qt::AlignLeft | Qt::AlignTop);
    gbCPFields_->show();
}

void ControlPointRules::CPPageControlChange()
{
    if (CPPageControl_)
        MoveFieldsTo(CPPageControl_->widget(shown_));

    const ControlPoint& cp = records_[shown_];
    if (cbCPActive_)
        cbCPActive_->setChecked(cp.flags & kCPActive);
    if (cbCPType_) {
        const int type = static_cast<int>(cp.flags & kCPTypeMask);
        cbCPType_->setCurrentIndex(type < cbCPType_->count() ? type : -1);
    }
    if (edCPRadius_)
        edCPRadius_->setText(QString::number(cp.radius));
    if (edCPFixTime_)
        edCPFixTime_->setText(QString::number(cp.fixTime));
    if (cbCPInSms_)
        cbCPInSms_->setChecked(cp.flags & kCPInSms);
    if (cbCPOutSms_)
        cbCPOutSms_->setChecked(cp.flags & kCPOutSms);
    if (cbCPInGPRS_)
        cbCPInGPRS_->setChecked(cp.flags & kCPInTransfer);
    if (cbCPOutGPRS_)
        cbCPOutGPRS_->setChecked(cp.flags & kCPOutTransfer);
    if (edCPTelNum_)
        edCPTelNum_->setText(QString::fromStdString(Cp1251ToUtf8(cp.Phone())));
    // Filling runs no list rule and no active rule when the box keeps its
    // state, so a polygon shown after a circle would keep an enabled radius:
    // derive the states from the values just shown.
    cbCPActiveClick();
}

void ControlPointRules::OnPageChanged(int index)
{
    if (index < 0 || index == shown_)
        return;
    bool allow = true;
    CPPageControlChanging(CPPageControl_, allow);
    if (!allow) {
        // The page set has no veto before a change; undo it unseen instead.
        QSignalBlocker quiet(CPPageControl_);
        CPPageControl_->setCurrentIndex(shown_);
        return;
    }
    shown_ = index;
    CPPageControlChange();
}

void ControlPointRules::TransferRule(int point)
{
    if (point < 1 || point > kPointCount)
        return;
    Enable(cbSendEvtLvlCP_[point - 1], Checked(cbSendEvCP_[point - 1]));
}

void ControlPointRules::cbSendEvCP1Click()
{
    TransferRule(DigitAt(sender(), kTransferDigitPosition));
}

} // namespace plendoro
