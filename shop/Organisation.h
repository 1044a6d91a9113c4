#pragma once

#include <QString>

namespace shop {

// The organisation's details, kept once: what printed forms put in their header (name,
// department, ОКПО) and in their signature block (each signatory's position and name).
struct Organisation {
    QString name;
    QString department;
    QString okpo;
    QString responsibleName; // who keeps the timesheet
    QString responsiblePosition;
    QString headName; // the head of the department
    QString headPosition;
    QString hrName; // the personnel officer
    QString hrPosition;

    bool operator==(const Organisation &o) const;
    bool operator!=(const Organisation &o) const { return !(*this == o); }
};

// The details as kept (every field empty when nobody entered them). Throws db::SqlError.
Organisation organisation();
// Keeps the details; the server lets the administrator's logins alone do it and records the
// change in the history. Texts are stored as typed, trimmed. Throws db::SqlError.
void saveOrganisation(const Organisation &o);
// The sentence for an ОКПО that is not 8, 10 or 14 digits; empty when it is (or is empty).
QString okpoProblem(const QString &okpo);

} // namespace shop
