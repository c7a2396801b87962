#pragma once
// Rules of the dormant control-point editor: the page "Контрольные точки",
// whose three pages share one set of fields, and the control-point group of
// the page "Передача данных". The three records live here, in memory only:
// no settings block, profile or command file carries them.
#include "editor/Editor.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace plendoro {

// Bits of ControlPoint::flags.
enum ControlPointFlags : std::uint32_t {
    kCPTypeMask = 0x03, // position in cbCPType: 0 "Круг", 1 "Полигон"
    kCPInSms = 1u << 2,
    kCPInTransfer = 1u << 3,
    kCPOutSms = 1u << 4,
    kCPOutTransfer = 1u << 5,
    kCPActive = 1u << 6,
};

struct ControlPointVertex {
    double latitude = 0;
    double longitude = 0;
};

struct ControlPoint {
    static constexpr int kPhoneChars = 12;

    std::uint32_t flags = 0;
    std::int32_t radius = 0;  // metres
    std::int32_t fixTime = 0; // seconds
    // Windows-1251 text of at most kPhoneChars characters, zero-terminated.
    std::array<char, kPhoneChars + 1> phone{};
    // No way to add points exists yet, so the list stays empty in use.
    std::vector<ControlPointVertex> points;

    std::string Phone() const { return std::string(phone.data()); }
};

class ControlPointRules : public QObject, public ControlPointRulesApi {
    Q_OBJECT
public:
    static constexpr int kPointCount = 3;
    // All three control points together may hold no more points than this.
    static constexpr int kMaxVertices = 64;

    explicit ControlPointRules(SettingsEditor& editor);

    // The records, numbered from 1.
    const ControlPoint& Record(int point) const;
    ControlPoint& Record(int point);
    // The control point whose page is shown, from 1.
    int ShownPoint() const { return shown_ + 1; }

    // Run by RefreshRules and by the checks before writing.
    void TransferRule(int point) override;
    bool StoreRule() override;

    void cbCPActiveClick(); // every field of the page follows "КТ активна"
    void cbCPSmsClick();    // the number only when an SMS is sent
    void cbCPTypeChange();  // the radius only for a circle
    void edCPRadiusExit();  // stores the radius of the shown point
    // Stores the shown point's fields into its record; refuses (allow becomes
    // false) when the records together hold too many points, and says so at
    // the sender.
    void CPPageControlChanging(QWidget* sender, bool& allow);
    // Moves the shared fields onto the shown page and fills them from its record.
    void CPPageControlChange();
    void cbSendEvCP1Click(); // sender cbSendEvCP1 .. cbSendEvCP3

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnPageChanged(int index);
    void MoveFieldsTo(QWidget* page);

    RuleSlot<ControlPointRulesApi> slot_;
    std::array<ControlPoint, kPointCount> records_{};
    int shown_ = 0;

    QTabWidget* CPPageControl_ = nullptr;
    QGroupBox* gbCPFields_ = nullptr;
    QAbstractButton* cbCPActive_ = nullptr;
    QComboBox* cbCPType_ = nullptr;
    QLineEdit* edCPRadius_ = nullptr;
    QLabel* lblCPRadius_ = nullptr;
    QLineEdit* edCPFixTime_ = nullptr;
    QAbstractButton* cbCPInSms_ = nullptr;
    QAbstractButton* cbCPOutSms_ = nullptr;
    QAbstractButton* cbCPInGPRS_ = nullptr;
    QAbstractButton* cbCPOutGPRS_ = nullptr;
    QLineEdit* edCPTelNum_ = nullptr;
    // Fields and captions that follow "КТ активна" directly.
    std::vector<QWidget*> activeFollowers_;
    std::array<QAbstractButton*, kPointCount> cbSendEvCP_{};
    std::array<QWidget*, kPointCount> cbSendEvtLvlCP_{};
    // Where the shared fields sit on the first page.
    QWidget* homePage_ = nullptr;
    QPointer<QBoxLayout> homeLayout_;
    int homeIndex_ = 0;
};

} // namespace plendoro
