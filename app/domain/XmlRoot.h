#pragma once
// The start elements of an XML document below its root, when the root has the expected name:
// a document of another kind gives none.
#include <QLatin1String>
#include <QXmlStreamReader>

namespace aero {

class ElementsUnderRoot {
public:
    ElementsUnderRoot(QXmlStreamReader& xml, QLatin1String root) : m_xml(xml), m_root(root) {}

    // Moves to the next start element below the root: false at the end, on an error, or when
    // the root is another element.
    bool next()
    {
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (m_inside)
                return true;
            if (m_xml.name() != m_root)
                return false;
            m_inside = true;
        }
        return false;
    }
    bool rootSeen() const { return m_inside; }

private:
    QXmlStreamReader& m_xml;
    QLatin1String m_root;
    bool m_inside = false;
};

} // namespace aero
