// The search dialog: a search string with its history, the direction and four options. The
// options and the history are kept per user (search_settings.h); ShowSearchDialog runs the dialog
// and hands back the search text (code page 932, as the search engine takes it) and the options
// word of editor/find_text.h.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TFormSearch : public QDialog {
    Q_OBJECT
public:
    explicit TFormSearch(QWidget *parent = nullptr);

    QLabel *Label1;
    QComboBox *ComboBox1;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *btnHelp;
    QGroupBox *RadioGroup1;
    QGroupBox *GroupBox1;
    QCheckBox *chkMatchCase;
    QCheckBox *chkWholeWord;
    QCheckBox *chkNoMatchZenkaku;
    QCheckBox *chkIncludeCRLF;

    // The selected item of the direction group: 0 backward, 1 forward.
    int Direction() const;
    void SetDirection(int index);

    // The text accepted by OK (empty until then, and when OK was pressed on an empty field).
    const QString &SearchText() const { return FSearchText; }
    // The options word for the search engine built from the controls.
    unsigned SearchOptions() const;

    // Shows a help topic by its context number; the program sets it once at start-up.
    static std::function<void(int helpContext)> HelpHandler;
    static constexpr int HelpContext = 20400;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void btnOKClick();
    void btnHelpClick();

    QButtonGroup *FDirection;
    QString FSearchText;
};

// Runs the search dialog modally. text and options are reset first; true when the dialog ended
// with OK and a non-empty search text, which is then returned with the options word.
bool ShowSearchDialog(std::string &text, unsigned &options, QWidget *parent = nullptr);
