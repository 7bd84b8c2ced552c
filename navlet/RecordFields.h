#pragma once
// Every field of every record class, by name, in declaration order. One list serves the JSON
// form, the test printers and the tools, so a new field cannot be forgotten in one of them.
#include "navlet/Records.h"

namespace navlet {

template <class V> void visitFields(cWaypoint& r, V&& v)
{
    v("Ident", r.Ident); v("Lat", r.Lat); v("Lon", r.Lon); v("Cmnt", r.Cmnt); v("Smbl", r.Smbl);
    v("Color", r.Color); v("Dspl", r.Dspl); v("Dist", r.Dist); v("Prox_Index", r.Prox_Index);
    v("Alt", r.Alt); v("Dpth", r.Dpth); v("Wpt_Class", r.Wpt_Class); v("Sub_Class", r.Sub_Class);
    v("Attrib", r.Attrib); v("Link", r.Link); v("State", r.State); v("Country", r.Country);
    v("City", r.City); v("Address", r.Address); v("Facility", r.Facility);
    v("Cross_Road", r.Cross_Road); v("Unused1", r.Unused1); v("Unused2", r.Unused2);
}

template <class V> void visitFields(cRoute& r, V&& v)
{
    v("Number", r.Number); v("Ident", r.Ident); v("Cmnt", r.Cmnt); v("Link_Class", r.Link_Class);
    v("Sub_Class", r.Sub_Class);
}

template <class V> void visitFields(cTrack& r, V&& v)
{
    v("Lat", r.Lat); v("Lon", r.Lon); v("Time", r.Time); v("New_Segment", r.New_Segment);
    v("Alt", r.Alt); v("Dpth", r.Dpth); v("Dspl", r.Dspl); v("Color", r.Color); v("Ident", r.Ident);
}

template <class V> void visitFields(cPosition& r, V&& v)
{
    v("Lat", r.Lat); v("Lon", r.Lon);
}

template <class V> void visitFields(cPvtData& r, V&& v)
{
    v("Alt", r.Alt); v("epe", r.epe); v("eph", r.eph); v("epv", r.epv); v("pfix", r.pfix);
    v("tow", r.tow); v("Lat", r.Lat); v("Lon", r.Lon); v("east", r.east); v("north", r.north);
    v("up", r.up); v("msl_hght", r.msl_hght); v("leap_scnds", r.leap_scnds); v("wn_days", r.wn_days);
}

template <class V> void visitFields(cDate_Time& r, V&& v)
{
    v("month", r.month); v("day", r.day); v("year", r.year); v("hour", r.hour);
    v("minute", r.minute); v("second", r.second);
}

template <class V> void visitFields(cAlmanac& r, V&& v)
{
    v("svid", r.svid); v("wn", r.wn); v("toa", r.toa); v("af0", r.af0); v("af1", r.af1);
    v("e", r.e); v("sqrta", r.sqrta); v("m0", r.m0); v("w", r.w); v("omg0", r.omg0);
    v("odot", r.odot); v("i", r.i); v("hlth", r.hlth);
}

template <class V> void visitFields(cProduct_Data& r, V&& v)
{
    v("Product_ID", r.Product_ID); v("Software_Version", r.Software_Version);
    v("Product_Description_1", r.Product_Description_1);
    v("Product_Description_2", r.Product_Description_2);
}

} // namespace navlet
