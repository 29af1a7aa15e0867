#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

// One song: eight texts, in the order of the table's columns and of a playlist line.
struct TSongRecord
{
    QString Artist;
    QString Title;
    QString Length;
    QString Album;
    QString Track;
    QString Year;
    QString Genre;
    QString Path;

    static constexpr int kFieldCount = 8;

    QString &field(int i) { return *fieldPointer(i); }
    const QString &field(int i) const { return *const_cast<TSongRecord *>(this)->fieldPointer(i); }

    bool operator==(const TSongRecord &) const = default;

    // The record of eight texts held in one heap block instead of eight. Each field is an
    // ordinary QString that shares the block, so it copies, compares and outlives the record
    // like any other; writing to a field gives it a block of its own first (the block is
    // shared by the other fields). An empty field takes no room, a null view gives a null text.
    static TSongRecord fromFields(const std::array<QStringView, kFieldCount> &fields);
    // The same for a record whose fields were set one by one.
    void pack();

private:
    QString *fieldPointer(int i)
    {
        static constexpr QString TSongRecord::*kFields[kFieldCount] = {
            &TSongRecord::Artist, &TSongRecord::Title, &TSongRecord::Length, &TSongRecord::Album,
            &TSongRecord::Track,  &TSongRecord::Year,  &TSongRecord::Genre,  &TSongRecord::Path,
        };
        return &(this->*kFields[i]);
    }
};

// Eight QStrings move by memcpy: lets the lists grow without running constructors.
Q_DECLARE_TYPEINFO(TSongRecord, Q_RELOCATABLE_TYPE);

using SongList = QList<TSongRecord>;
