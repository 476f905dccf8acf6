// The settings persistence bound to an ini file (code page 932, see classlib/ini_file.h). The
// file is read whole when the first scope opens and written whole when the last one closes.
#pragma once

#include "classlib/ini_file.h"
#include "settings/save_prop.h"

#include <QString>

#include <memory>

class TIniSaveProps : public TCustomSaveProps {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_CLASSINFO("Default.FileName", "")
public:
    explicit TIniSaveProps(QObject *owner = nullptr);
    ~TIniSaveProps() override;

    // Empty means the program's own path with its extension replaced by ".ini".
    QString FileName() const { return FFileName; }
    void SetFileName(const QString &fileName) { FFileName = fileName; }
    // The file actually used.
    QString EffectiveFileName() const;
    // The number of open scopes.
    int OpenCount() const { return FOpenCount; }

    int ReadInteger(const std::string &section, const std::string &key) override;
    std::string ReadString(const std::string &section, const std::string &key) override;
    double ReadFloat(const std::string &section, const std::string &key) override;
    void WriteInteger(const std::string &section, const std::string &key, int value) override;
    void WriteString(const std::string &section, const std::string &key, const std::string &value) override;
    void WriteFloat(const std::string &section, const std::string &key, double value) override;
    void ReadObject(const std::string &section, const std::string &key, QObject &object) override;
    void WriteObject(const std::string &section, const std::string &key, QObject &object) override;
    void FindValues(const std::string &section) override;
    void BeginRead() override;
    void EndRead() override;
    void BeginWrite() override;
    // Writes the file when the last scope closes and something was written; raises the class
    // library's file error when it cannot be written (the scope is closed all the same).
    void EndWrite() override;
    // Before the registered properties are written, the keys of each object item (its key and the
    // numbered keys after it) are deleted, so an object saved in fewer lines than before leaves
    // no stale lines behind.
    void Save() override;
    bool ValueExists(const std::string &section, const std::string &key) override;

private:
    void Open();
    void Close();

    QString FFileName;
    std::unique_ptr<TIniFile> FIniFile;
    int FOpenCount = 0;
};
