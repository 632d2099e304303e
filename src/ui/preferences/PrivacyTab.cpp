// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/PrivacyTab.h"

#include "app/AppSettings.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/preferences/SettingControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace SettingControls;

PrivacyTab::PrivacyTab(AppSettings &settings, QWidget *parent)
    : QWidget(parent)
{
    auto *page = new QVBoxLayout(this);
    QVBoxLayout *rows = nullptr;

    page->addWidget(section(tr("PII Redaction"), &rows));
    m_enable = switchFor(settings, Settings::enablePIIRedaction, tr("Enable PII redaction tool"));
    rows->addWidget(m_enable);
    rows->addWidget(helpText(tr("Adds a shield button to the annotation toolbar that scans the screenshot and "
                                "auto-redacts the selected types of personal info.")));
    m_scan = switchFor(settings, Settings::scanOnCapture, tr("Scan new screenshots automatically"));
    rows->addWidget(m_scan);
    rows->addWidget(helpText(tr("Badges the floating thumbnail with a shield when a new screenshot contains "
                                "sensitive info. Also powers text search.")));
    m_style = segmentsFor(settings, Settings::piiRedactionStyle, {tr("Pixelate"), tr("Black box")},
                          tr("Redaction style"));
    rows->addWidget(labelledRow(tr("Redaction style"), m_style));
    rows->addWidget(helpText(tr("Black box is safest for sharing — heavy pixelation of large text can sometimes "
                                "be reversed.")));

    m_detect = section(tr("Detect"), &rows);
    page->addWidget(m_detect);
    const struct
    {
        const Setting<bool> &setting;
        QString label;
    } kinds[] = {
        {Settings::redactEmails, tr("Email addresses")},
        {Settings::redactIPs, tr("IP addresses (IPv4 & IPv6)")},
        {Settings::redactAPIKeys, tr("API keys (Stripe, AWS, GitHub, Slack, Google)")},
        {Settings::redactPhones, tr("Phone numbers")},
        {Settings::redactCreditCards, tr("Credit card numbers")},
        {Settings::redactAddresses, tr("Street addresses")},
        {Settings::redactFaces, tr("Faces")},
    };
    for (const auto &kind : kinds) {
        QCheckBox *box = switchFor(settings, kind.setting, kind.label);
        m_kinds.append(box);
        rows->addWidget(box);
    }
    follow(settings, m_detect, {Settings::enablePIIRedaction.key},
           [this, &settings] { m_detect->setEnabled(settings.get(Settings::enablePIIRedaction)); });

    page->addWidget(section(QString(), &rows));
    rows->addWidget(helpText(tr("Detection uses on-device OCR (Tesseract). Nothing leaves your computer. Results "
                                "depend on OCR accuracy — always review before sharing.")));
    page->addStretch(1);
}
