#pragma once
// Prints every signal of a GPS object to standard output as one JSON object per line.
#include <QObject>

class GPS;

class EventPrinter : public QObject {
public:
    EventPrinter(GPS& gps, bool withDebug, QObject* parent = nullptr);
};
