#pragma once
// Runs a test under the decimal-comma locale de_DE.UTF-8, both for the C library (LC_NUMERIC,
// what atof and printf follow) and for Qt's default QLocale (what number fields show), and puts
// both back afterwards. scripts/setup generates the locale; Active() is false without it.

#include <QLocale>

#include <clocale>
#include <string>

class CommaLocale {
public:
    CommaLocale() : m_qtBefore(QLocale())
    {
        const char* before = std::setlocale(LC_NUMERIC, nullptr);
        m_cBefore = before ? before : "C";
        m_active = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, m_cBefore.c_str());
        QLocale::setDefault(m_qtBefore);
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // True when the C library really reads "12,5" as twelve and a half.
    bool Active() const { return m_active && std::localeconv()->decimal_point[0] == ','; }

private:
    QLocale m_qtBefore;
    std::string m_cBefore;
    bool m_active = false;
};
