#pragma once
// CKWRememberedFolder: the folder and filter a file dialog remembers between runs under a profile
// name N. The folder lives in section "DefaultDirectory", value N; the filter's index (1 for the
// first filter) in value N + "_Filter". A dialog starts in Folder() with FilterIndex() and calls
// Remember() after OK.

#include <QString>

#include <utility>

class CKWProfileStore;

class CKWRememberedFolder {
public:
    CKWRememberedFolder(CKWProfileStore& store, QString name) : m_store(store), m_name(std::move(name)) {}

    // The folder the dialog opens in; empty when none was remembered.
    QString Folder() const;
    // The remembered filter of a dialog with `filterCount` filters: 1 the first time, and 1 when
    // the stored index lies outside 1..filterCount.
    int FilterIndex(int filterCount) const;
    // After OK: the chosen file's folder, and the filter when it is one of the dialog's (>= 1).
    void Remember(const QString& chosenFile, int filterIndex) const;

private:
    CKWProfileStore& m_store;
    QString m_name;
};
