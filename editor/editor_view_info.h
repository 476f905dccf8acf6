// TEditorViewInfo: the editor's View, a front for its built-in syntax fountain. It creates and
// owns the fountain and reads and writes the fountain's properties of the same names; every
// change reaches the fountain's change list, which the editor listens to.
#pragma once

#include "syntax/editor_fountain.h"

class TEditorViewInfo : public TNotifyPersistent {
    Q_OBJECT
    Q_PROPERTY(TFountainBracketCollection *Brackets READ Brackets WRITE SetBrackets)
    Q_PROPERTY(TEditorColors *Colors READ Colors WRITE SetColors)
    Q_PROPERTY(QString Commenter READ Commenter WRITE SetCommenter)
    Q_PROPERTY(bool ControlCode READ ControlCode WRITE SetControlCode)
    Q_PROPERTY(QString HexPrefix READ HexPrefix WRITE SetHexPrefix)
    Q_PROPERTY(bool Mail READ Mail WRITE SetMail)
    Q_PROPERTY(QString Quotation READ Quotation WRITE SetQuotation)
    Q_PROPERTY(bool Url READ Url WRITE SetUrl)
public:
    explicit TEditorViewInfo(QObject *parent = nullptr);
    ~TEditorViewInfo() override;

    TEditorFountain *Fountain() const { return FFountain; }

    TFountainBracketCollection *Brackets() const { return FFountain->Brackets(); }
    void SetBrackets(TFountainBracketCollection *value) { FFountain->SetBrackets(value); }
    TEditorColors *Colors() const { return FFountain->Colors(); }
    void SetColors(TEditorColors *value) { FFountain->SetColors(value); }
    QString Commenter() const { return FFountain->CommenterUnicode(); }
    void SetCommenter(const QString &value) { FFountain->SetCommenterUnicode(value); }
    bool ControlCode() const { return FFountain->ControlCode(); }
    void SetControlCode(bool value) { FFountain->SetControlCode(value); }
    QString HexPrefix() const { return FFountain->HexPrefixUnicode(); }
    void SetHexPrefix(const QString &value) { FFountain->SetHexPrefixUnicode(value); }
    bool Mail() const { return FFountain->Mail(); }
    void SetMail(bool value) { FFountain->SetMail(value); }
    // Only the first character is kept.
    QString Quotation() const { return FFountain->QuotationUnicode(); }
    void SetQuotation(const QString &value) { FFountain->SetQuotationUnicode(value.left(1)); }
    bool Url() const { return FFountain->Url(); }
    void SetUrl(bool value) { FFountain->SetUrl(value); }

    void Assign(const TPersistent *source) override;

private:
    TEditorFountain *FFountain;
};
