// Properties by name: what a host that addresses the control generically (scripts, tools)
// reads and writes. Only IgnoreCheckSum, Port and the record objects can be written.
#include "navlet/Navlet.h"

#include <QMetaType>
#include <array>
#include <type_traits>

namespace navlet {
namespace {

struct ScalarProperty {
    const char* name;
    QVariant (*get)(const Navlet&);
    bool (*assign)(Navlet&, const QVariant&) = nullptr; // record objects only
};

// Byte-sized numbers as int: a QVariant holding a char type would read back as a character.
template <class T> QVariant toVariant(const T& value)
{
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>)
        return QVariant(static_cast<int>(value));
    else
        return QVariant::fromValue(value);
}

template <class Record> bool holds(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Record>();
}

#define NAVLET_PROPERTY(NAME) ScalarProperty{#NAME, [](const Navlet& n) { return toVariant(n.NAME()); }}
#define NAVLET_RECORD(NAME, TYPE)                                                                  \
    ScalarProperty{#NAME, nullptr, [](Navlet& n, const QVariant& v) {                             \
                       if (holds<TYPE>(v))                                                         \
                           n.set##NAME(v.value<TYPE>());                                           \
                       return holds<TYPE>(v);                                                      \
                   }}

const std::array<ScalarProperty, 50>& scalarTable()
{
    static const std::array<ScalarProperty, 50> table = {
        // Record objects: assigned whole, read through their accessors.
        NAVLET_RECORD(Waypoint, cWaypoint), NAVLET_RECORD(Route, cRoute), NAVLET_RECORD(Track, cTrack),
        NAVLET_RECORD(Position, cPosition), NAVLET_RECORD(PvtData, cPvtData),
        NAVLET_RECORD(Date_Time, cDate_Time), NAVLET_RECORD(Almanac, cAlmanac),
        NAVLET_RECORD(Product_Data, cProduct_Data),
        NAVLET_PROPERTY(IgnoreCheckSum), NAVLET_PROPERTY(Link_Protocol),
        NAVLET_PROPERTY(WayPoint_Transfer_Protocol), NAVLET_PROPERTY(Route_Transfer_Protocol),
        NAVLET_PROPERTY(Track_Transfer_Protocol), NAVLET_PROPERTY(Prox_Wpt_Transfer_Protocol),
        NAVLET_PROPERTY(Waypoint_Data_Format), NAVLET_PROPERTY(Route_Data_Format),
        NAVLET_PROPERTY(Route_Wpt_Data_Format), NAVLET_PROPERTY(Track_Data_Format),
        NAVLET_PROPERTY(Prox_Wpt_Data_Format), NAVLET_PROPERTY(CMND_Reset_Transfer),
        NAVLET_PROPERTY(CMND_Transfer_Alm), NAVLET_PROPERTY(CMND_Transfer_Posn),
        NAVLET_PROPERTY(CMND_Transfer_Prx), NAVLET_PROPERTY(CMND_Transfer_Rte),
        NAVLET_PROPERTY(CMND_Transfer_Time), NAVLET_PROPERTY(CMND_Transfer_Trk),
        NAVLET_PROPERTY(CMND_Transfer_Wpt), NAVLET_PROPERTY(CMND_Turn_Off_Pwr),
        NAVLET_PROPERTY(CMND_Start_Pvt_Data), NAVLET_PROPERTY(CMND_Stop_Pvt_Data),
        NAVLET_PROPERTY(CMND_Start_Async), NAVLET_PROPERTY(PID_Command_Data),
        NAVLET_PROPERTY(PID_Xfer_Cmplt), NAVLET_PROPERTY(PID_Position_Data),
        NAVLET_PROPERTY(PID_Date_Time), NAVLET_PROPERTY(PID_Prx_Wpt_Data),
        NAVLET_PROPERTY(PID_Records), NAVLET_PROPERTY(PID_Rte_Hdr),
        NAVLET_PROPERTY(PID_Rte_Wpt_Data), NAVLET_PROPERTY(PID_Almanac_Data),
        NAVLET_PROPERTY(PID_Trk_Data), NAVLET_PROPERTY(PID_Wpt_Data),
        NAVLET_PROPERTY(PID_Pvt_Data), NAVLET_PROPERTY(PID_Product_Rqst),
        NAVLET_PROPERTY(PID_Product_Data), NAVLET_PROPERTY(PID_Ack_Byte),
        NAVLET_PROPERTY(PID_Nak_Byte), NAVLET_PROPERTY(PID_Protocol_Array),
        NAVLET_PROPERTY(Port), NAVLET_PROPERTY(Incoming_Records_Count),
    };
    return table;
}

#undef NAVLET_PROPERTY
#undef NAVLET_RECORD

const ScalarProperty* findProperty(const QString& name)
{
    for (const auto& p : scalarTable())
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

} // namespace

NavletStatus Navlet::setProperty_(const QString& name, const QVariant& value)
{
    const ScalarProperty* p = findProperty(name);
    if (!p)
        return NavletStatus::noSuchProperty();
    bool ok = true;
    if (name == QLatin1String("IgnoreCheckSum")) {
        ok = value.canConvert<bool>();
        if (ok)
            setIgnoreCheckSum(value.toBool());
    } else if (name == QLatin1String("Port")) {
        const int port = value.toInt(&ok);
        ok = ok && port >= -32768 && port <= 32767;
        if (ok)
            setPort(static_cast<qint16>(port));
    } else if (p->get) {
        return NavletStatus::readOnly();
    } else {
        ok = p->assign(*this, value);
    }
    return ok ? NavletStatus::done() : NavletStatus::invalidValue();
}

QVariant Navlet::property_(const QString& name) const
{
    const ScalarProperty* p = findProperty(name);
    return p && p->get ? p->get(*this) : QVariant();
}

std::vector<std::pair<QString, QVariant>> Navlet::scalarProperties() const
{
    std::vector<std::pair<QString, QVariant>> out;
    for (const auto& p : scalarTable())
        if (p.get)
            out.emplace_back(QString::fromLatin1(p.name), p.get(*this));
    return out;
}

} // namespace navlet
