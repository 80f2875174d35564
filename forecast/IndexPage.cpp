#include "forecast/IndexPage.h"

#include "core/CodePage.h"
#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "forecast/LatinFileNames.h"

namespace vetorlan {

namespace {

const QString kLf = QStringLiteral("\n");

// The towns the index page links, with the file names their pages were given.
class IndexTowns {
public:
    IndexTowns(const TownSelection& towns, const TownFileNameList& names, bool latin)
        : towns_(towns), names_(names), latin_(latin) {}

    int count() const { return qBound(0, int(towns_.count), kCatalogSize); }
    // Display name: the entry after its first "|".
    QString displayName(int i) const {
        const QString& entry = towns_[i];
        const qsizetype bar = entry.indexOf('|');
        return bar < 0 ? entry : entry.mid(bar + 1);
    }
    // File name of a town's page without ".htm".
    QString fileName(int i) const { return latin_ ? names_[i] : displayName(i); }

private:
    const TownSelection& towns_;
    const TownFileNameList& names_;
    bool latin_;
};

// Collects the page's lines; each one ends with CR LF.
class Lines {
public:
    explicit Lines(const IndexTowns& towns) : towns_(towns) {}
    const IndexTowns& towns() const { return towns_; }
    void add(const QString& line, int indent = 0) {
        text_ += QString(indent, ' ');
        text_ += line;
        text_ += QStringLiteral("\r\n");
    }
    void empty() { add(QString()); }
    // One line per town, i = 1 .. count.
    template <typename Make> void perTown(Make make, int indent = 0) {
        for (int i = 1; i <= towns_.count(); ++i)
            add(make(i, QString::number(i)), indent);
    }
    QByteArray bytes() const { return toCp1251(text_); }

private:
    const IndexTowns& towns_;
    QString text_;
};

const char kListRule[] = "<table width=400 cellpadding=0 cellspacing=0 border=0 align=center><td><hr size=1 hoshade "
                         "color=#FFFFFF></td></table>";

void writeListPage(Lines& l) {
    l.add("<html>");
    l.add("<head>");
    l.add("<meta http-equiv=\"content-type\" content=\"text/html; charset=windows-1251\">");
    l.add("<title>Прогноз погоды</title>");
    l.add("</head>");
    l.add("<body bgcolor=white background=\"_i/main.gif\">");
    l.add("<p align=center><b style='mso-bidi-font-weight:Normal'><span style='font-size:26.0pt'><font face=\"Times "
          "New Roman, Times, serif\" color=\"#FF0000\">Прогноз погоды</font><font face=\"Times New Roman, Times, "
          "serif\"> </font></span></b></p>");
    l.add(kListRule);
    const IndexTowns& t = l.towns();
    l.perTown([&t](int i, const QString&) {
        return "<p align=\"center\"><a href=\"" + t.fileName(i) +
               ".htm\"><font color=\"#FFFF00\" face=\"Arial, Helvetica, sans-serif\"><font size=\"5\">" +
               t.displayName(i) + "</font></a></p>" + kLf;
    });
    l.add(kListRule);
    l.add("</body>");
    l.add("</html>");
}

void writeAnimationHead(Lines& l) {
    l.add("<html>");
    l.add("<head>");
    l.add("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">");
    l.add("<STYLE>");
    l.add(".fly {COLOR: black; FONT-FAMILY: arial; FONT-SIZE: 24px; POSITION: absolute; VISIBILITY: hidden; "
          "Z-INDEX: 2}");
    l.add(".logo {COLOR: #FF0000; FONT-FAMILY: times; FONT-SIZE: 48px; LEFT: 100px; POSITION: absolute; TOP: 0px; "
          "VISIBILITY: visible; Z-INDEX: 1}");
    l.add(".desc {COLOR: red; FONT-FAMILY: arial; FONT-SIZE: 16px; LEFT: 40px; POSITION: absolute; TEXT-ALIGN: "
          "center; TOP: 220px; VISIBILITY: hidden; WIDTH: 400px}");
    l.add("A {COLOR: #FFFF00}");
    l.add("A:hover {COLOR: green; TEXT-DECORATION: none}");
    l.add("</STYLE><SCRIPT language=JavaScript>");
    l.empty();
    l.empty();
}

void writeAnimationFunctions(Lines& l) {
    l.add("function showObject(object) {", 4);
    l.add("object.visibility = VISIBLE;", 8);
    l.add("}", 4);
    l.empty();
    l.add("function hideObject(object) {", 4);
    l.add("object.visibility = HIDDEN;", 8);
    l.add("}", 4);
    l.empty();
    l.add("function slideLogo(from, to) {", 4);
    l.add("if (from < to) {", 12);
    l.add("company.top = (from += 10);", 16);
    l.add("setTimeout('slideLogo(' + from + ',' + to + ')', 75);", 16);
    l.add("}", 12);
    l.add("else initObjects();", 12);
    l.add("}", 4);
    l.empty();
    l.add("function rotateObjects() {", 4);
    l.add("for (var i = 0; i < pos.length; i++) {", 12);
    l.add("pos[i] += inc; objects[i].visibility = 'visible';", 16);
    l.add("objects[i].left = (r * Math.cos(pos[i])) + xoff", 16);
    l.add("objects[i].top = (r * Math.sin(pos[i])) + yoff;", 16);
    l.add("}", 12);
    l.add("rotateTimer = setTimeout(\"rotateObjects()\", 100);", 8);
    l.add("}", 4);
    l.empty();
}

QString flyList(int count) {
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << "fly" + QString::number(i);
    return "objects = new Array(" + items.join(", ") + ");";
}

void writeAnimationInit(Lines& l) {
    l.add("function initObjects() {", 5);
    l.empty();
    l.add(flyList(l.towns().count()), 8);
    l.add("pos = new Array();", 8);
    l.add("pos[0] = 0;", 8);
    l.add("for (var i = 1; i < objects.length; i++) {", 12);
    l.add("pos[i] = parseFloat(pos[i - 1] + ((2 * pi) / objects.length));", 16);
    l.add("}", 12);
    l.add("rotateObjects();", 8);
    l.add("}", 4);
    l.empty();
    for (const char* var : {"var objects;", "var pos;", "var r = 220;", "var xoff = 220;", "var yoff = 220;",
                            "var pi = Math.PI;", "var inc = pi / 180;", "var objects;", "var pos;"})
        l.add(var, 4);
    l.empty();
    l.empty();
    l.add("</SCRIPT>");
    l.add("</HEAD>");
}

void writeAnimationBody(Lines& l) {
    l.add("<BODY link=while text=lime background=\"_i/Main.gif\">");
    l.empty();
    const IndexTowns& t = l.towns();
    l.perTown([&t](int i, const QString& n) {
        return "<DIV class=fly id=fly" + n + ">" + kLf + "<P><A" + kLf + "href=\"" + t.fileName(i) + ".htm\"" + kLf +
               "onmouseout=hideObject(desc" + n + ") onmouseover=showObject(desc" + n + ") >" + t.displayName(i) +
               "</A> </P></DIV>" + kLf;
    });
    l.add("<DIV class=logo id=company>");
    l.add("<P>Прогноз погоды</P></DIV>");
    l.perTown([&t](int i, const QString& n) {
        return "<DIV class=desc id=desc" + n + ">" + kLf + "<P>Прогноз для города " + t.displayName(i) + "</P></DIV>";
    });
}

void writeAnimationScript(Lines& l) {
    l.add("<SCRIPT language=JavaScript>");
    l.empty();
    // Only the old layer browsers have document.layers; every current browser also calls itself
    // "Netscape" 5 but reaches the layers through document.all, so the test asks for both.
    l.add("var isNS = (navigator.appName == \"Netscape\" && parseInt(navigator.appVersion) >= 4 && "
          "document.layers != null);",
          4);
    l.empty();
    l.add("var HIDDEN = (isNS) ? 'hide' : 'hidden';", 4);
    l.add("var VISIBLE = (isNS) ? 'show' : 'visible';", 4);
    l.empty();
    l.perTown(
        [](int, const QString& n) {
            return "var fly" + n + " = (isNS) ? document.fly" + n + " : document.all.fly" + n + ".style;";
        },
        4);
    l.empty();
    l.add("var company = (isNS) ? document.company : document.all.company.style;", 4);
    l.perTown(
        [](int, const QString& n) {
            return "var desc" + n + " = (isNS) ? document.desc" + n + " : document.all.desc" + n + ".style;";
        },
        4);
    l.empty();
    l.add("slideLogo(0, 140);", 4);
    l.add("</SCRIPT>");
    l.add("<img src=\"_i/earth.gif\">");
    l.add("</body>");
    l.add("</html>");
}

} // namespace

QByteArray IndexPageText(const TownSelection& towns, const TownFileNameList& names, const Settings& settings) {
    const IndexTowns indexTowns(towns, names, IsTrue(settings.TranslitFileName));
    Lines lines(indexTowns);
    if (settings.IndexStyle == QLatin1String("Animation")) {
        writeAnimationHead(lines);
        writeAnimationFunctions(lines);
        writeAnimationInit(lines);
        writeAnimationBody(lines);
        writeAnimationScript(lines);
    } else {
        writeListPage(lines);
    }
    return lines.bytes();
}

FsStatus WriteIndexPage(const TownSelection& towns, const TownFileNameList& names, const Settings& settings) {
    return WriteFileAtomic(ResolvePath(ProgramFile(kMainPageName)), IndexPageText(towns, names, settings));
}

} // namespace vetorlan
