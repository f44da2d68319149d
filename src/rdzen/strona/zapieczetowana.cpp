#include "zapieczetowana.h"

#include "reguly.h"
#include "strona.h"

#include <QRandomGenerator>

namespace strona {

namespace {

// The page's own SHA-256, HMAC and PBKDF2 (a file:// or http:// page has no crypto.subtle), the
// opening of the seal, the shuffle at load and the scoring. The names of the default page's
// script (msg, punkty, maks, wynikwstronie) are kept, so its tail closes this script. Texts that
// would spell the default page's answer markers ("popr") carry an escape; every line ends with a
// lone CR, as in the default page.
const QString& skrypt()
{
    static const QString script = [] {
        QString s = QStringLiteral(
            R"js(var Q=null,kolejnosc=[],laczenie,sha256,hmac256,pbkdf2;
(function(){var K=new Int32Array(64),H0=new Int32Array(8),W=new Int32Array(64),p,n,d;
for(p=2,n=0;n<64;p++){for(d=2;d*d<=p&&p%d;d++);if(d*d>p){if(n<8)H0[n]=Math.sqrt(p)*4294967296|0;K[n++]=Math.pow(p,1/3)*4294967296|0;}}
function slowo(b,i){return b[i]<<24|b[i+1]<<16|b[i+2]<<8|b[i+3];}
function bajty(h){for(var o=new Uint8Array(4*h.length),i=0;i<o.length;i++)o[i]=h[i>>2]>>>24-8*(i&3);return o;}
function skrot(h,m){var A=h[0],B=h[1],C=h[2],D=h[3],E=h[4],F=h[5],G=h[6],J=h[7],i,a,b,t,u;
for(i=0;i<64;i++){if(i<16)W[i]=m[i];else{a=W[i-15];b=W[i-2];W[i]=((a>>>7|a<<25)^(a>>>18|a<<14)^a>>>3)+((b>>>17|b<<15)^(b>>>19|b<<13)^b>>>10)+W[i-7]+W[i-16]|0;}
t=J+((E>>>6|E<<26)^(E>>>11|E<<21)^(E>>>25|E<<7))+(E&F^~E&G)+K[i]+W[i]|0;u=((A>>>2|A<<30)^(A>>>13|A<<19)^(A>>>22|A<<10))+(A&B^A&C^B&C)|0;
J=G;G=F;F=E;E=D+t|0;D=C;C=B;B=A;A=t+u|0;}
h[0]+=A;h[1]+=B;h[2]+=C;h[3]+=D;h[4]+=E;h[5]+=F;h[6]+=G;h[7]+=J;}
function klucze(k,x){if(k.length>64)k=sha256(k);for(var o=new Uint8Array(64),i=0;i<64;i++)o[i]=(k[i]|0)^x;return o;}
function stan(k){var h=new Int32Array(H0),m=new Int32Array(16),j;for(j=0;j<16;j++)m[j]=slowo(k,4*j);skrot(h,m);return h;}
laczenie=function(a,b){var c=new Uint8Array(a.length+b.length);c.set(a);c.set(b,a.length);return c;};
sha256=function(d){var n=d.length,l=n+72>>6<<6,p=new Uint8Array(l),h=new Int32Array(H0),m=new Int32Array(16),i,j;
p.set(d);p[n]=128;p[l-1]=n<<3;p[l-2]=n>>>5;p[l-3]=n>>>13;p[l-4]=n>>>21;p[l-5]=n>>>29;
for(i=0;i<l;i+=64){for(j=0;j<16;j++)m[j]=slowo(p,i+4*j);skrot(h,m);}return bajty(h);};
hmac256=function(k,m){return sha256(laczenie(klucze(k,92),sha256(laczenie(klucze(k,54),m))));};
pbkdf2=function(p,s,c,n){var o=new Uint8Array(n),a=stan(klucze(p,54)),b=stan(klucze(p,92)),h=new Int32Array(8),m=new Int32Array(16),t=new Int32Array(8),i,j,k,u;
m[8]=-2147483648;m[15]=768;
for(i=0;32*i<n;i++){u=hmac256(p,laczenie(s,[i+1>>>24,i+1>>>16,i+1>>>8,i+1]));for(k=0;k<8;k++)t[k]=m[k]=slowo(u,4*k);
for(j=1;j<c;j++){h.set(a);skrot(h,m);m.set(h);h.set(b);skrot(h,m);m.set(h);for(k=0;k<8;k++)t[k]^=h[k];}
o.set(bajty(t).subarray(0,n-32*i),32*i);}return o;};
})();
function hex(s){for(var b=new Uint8Array(s.length>>1),i=0;i<b.length;i++)b[i]=parseInt(s.substr(2*i,2),16);return b;}
function otworz(kod){if(kod==null)return null;kod=kod.normalize("NFC").trim();
var p=pieczec,k=pbkdf2(new TextEncoder().encode(kod),hex(p.s),p.i,32),e=hmac256(k,[1]),n=hex(p.n),c=hex(p.d),t=hmac256(hmac256(k,[2]),laczenie(n,c)),x=hex(p.t),r=0,s="",g,i;
for(i=0;i<32;i++)r|=t[i]^x[i];if(r)return null;
for(i=0;i<c.length;i++){if(!(i&31))g=hmac256(e,laczenie(n,[i>>>29,i>>>21,i>>>13,i>>>5]));s+=String.fromCharCode(c[i]^g[i&31]);}
return JSON.parse(s);}
function losowa(n){var p=[],r=window.crypto&&crypto.getRandomValues?crypto.getRandomValues(new Uint32Array(n)):null,i,j,t;
for(i=0;i<n;i++)p[i]=i;for(i=n-1;i>0;i--){j=r?r[i]%(i+1):Math.floor(Math.random()*(i+1));t=p[i];p[i]=p[j];p[j]=t;}return p;}
function zbierz(){Q=[];kolejnosc=[];for(var i=0;i<pieczec.m;i++){var f=document.forms["form"+(i+1)],e=f?f.elements:[],o=[],j;
for(j=0;j<e.length;j++)if(e[j].name=="odp")o.push(e[j]);Q.push({f:f,o:o,a:[0,1,2,3]});kolejnosc.push(i);}}
function tasujodpowiedzi(e){var f=e.f,o=e.o,s=[],z=[],k,x,p;if(o.length!=4)return;for(k=0;k<4;k++)if(o[k].parentNode!=f)return;
for(k=0;k<4;k++){s[k]=[];for(x=o[k];x&&x!=o[k+1];x=x.nextSibling)s[k].push(x);
if(k<3&&s[k].length>1&&s[k][s[k].length-1].nodeName=="BR")z[k]=s[k].pop();else f.insertBefore(z[k]=document.createTextNode(""),k<3?o[k+1]:null);}
p=losowa(4);for(k=0;k<4;k++)for(x=0;x<s[p[k]].length;x++)f.insertBefore(s[p[k]][x],z[k]);e.a=p;}
function tasuj(){zbierz();var n=Q.length,R=[],b=null,a,i,p,r;for(i=0;i<n;i++)if(Q[i].f)tasujodpowiedzi(Q[i]);
for(i=0;i<n;i++){r=Q[i].f&&Q[i].f.parentNode.parentNode;if(!r||r.nodeName!="TR"||b&&r.parentNode!=b)return;b=r.parentNode;R.push(r);}
if(!n)return;p=losowa(n);a=R[n-1].nextSibling;
for(i=0;i<n;i++){b.insertBefore(R[p[i]],a);R[p[i]].cells[0].innerHTML="<B>"+(i+1)+".</B>";Q[p[i]].f.name="form"+(i+1);}kolejnosc=p;}
if(pieczec.l)document.addEventListener("DOMContentLoaded",tasuj);
function zad(n,t){msg.document.write("<BR>Zad."+n+(t?" Udzieliłeś po\x70rawnej odpowiedzi.":" Wykonałeś błędnie."));}
function wynik() {
var punkty=0;
var maks=0;
var d=null;
// Cancel gives up quietly: the line below the questions asks again.
for(var c;!d;d=otworz(c))if((c=prompt("Po\x70roś prowadzącego o wprowadzenie kodu",""))==null)return;
if(!Q) zbierz();
msg=open("","DisplayWindow","resizable scrollbars menubar=no width=330 height=540 left=458 top=0");
if (!msg) msg=wynikwstronie();
msg.document.write("<HEAD><LINK rel='stylesheet' href='../css/style2.css'><TITLE>Wynik testu</TITLE></HEAD>");
msg.document.write("<H1>Wynik Testu</H1>");
if(pieczec.k)msg.document.write("<P><B>Kopia nr "+pieczec.k+"</B></P>");
for(var i=0;i<Q.length;i++){var e=Q[kolejnosc[i]],q=d[kolejnosc[i]],n=i+1,k,w,x;
if(q[0]==1){maks+=1;x=e.o[q[1]];if(q[1]>=0&&x&&x.checked){punkty+=1;zad(n,1);}else zad(n,0);}
else if(q[0]==2){maks+=2;x=e.f&&e.f.question;if(x&&x.value==q[1]){punkty+=2;zad(n,1);}else zad(n,0);}
else{maks+=4;for(k=0;k<4;k++){x=e.o[e.a[k]];w=x&&x.checked?1:0;if(q[1+e.a[k]]==w){punkty+=1;zad(n+"abcd".charAt(k),1);}else{punkty-=1;zad(n+"abcd".charAt(k),0);}}}}
)js");
        s.replace(QLatin1Char('\n'), QLatin1Char('\r'));
        return s;
    }();
    return script;
}

// The default tail and foot with the one word that would read as a marker of the answers
// spelled through an escape; the browser shows the same text.
const QString& ogonZapieczetowany()
{
    static const QString tail =
        ogon().replace(QStringLiteral("poprawnych"), QStringLiteral("po\\x70rawnych"));
    return tail;
}

const QString& stopkaZapieczetowana()
{
    static const QString foot = stopka().replace(QStringLiteral("poprawić"), QStringLiteral("po&#112;rawić"));
    return foot;
}

// The default head up to and with the opening of its script.
QString naglowek(const QString& seconds)
{
    const QString head = glowa(seconds, QString());
    const QString script = QStringLiteral("<SCRIPT LANGUAGE=\"JavaScript\">\r");
    return head.left(head.indexOf(script) + script.size());
}

// A value padded with blanks, which JSON skips, to a fixed width.
void dopiszStale(QByteArray& out, const QByteArray& value, qsizetype width)
{
    out += value;
    out.append(width - value.size(), ' ');
}

// Every code unit escaped, so the script gets back the very string, a lone surrogate too, and the
// length tells only how many units there are. The field takes no more than poleOdpowiedzi units:
// a longer model answer is sealed as its first poleOdpowiedzi + 1, which still matches nothing
// typed, and every answer takes the same room.
void dopiszWzor(QByteArray& out, const QString& text)
{
    static constexpr char digits[] = "0123456789abcdef";
    constexpr qsizetype units = reguly::poleOdpowiedzi + 1;
    QByteArray s = "\"";
    for (const QChar c : text.left(units)) {
        const char16_t u = c.unicode();
        const char escape[] = {
            '\\', 'u', digits[u >> 12], digits[(u >> 8) & 15], digits[(u >> 4) & 15], digits[u & 15]};
        s.append(escape, 6);
    }
    s += '"';
    dopiszStale(out, s, 6 * units + 2);
}

// What the scoring needs, as JSON in draw order: [1, right index or -1] for a single choice,
// [0, four marks] for a multiple choice, [2, model answer] for a typed answer. Each value takes a
// fixed width, so the length tells only how many questions of each type there are; the whole is
// padded to a multiple of 256 bytes besides.
QByteArray odpowiedzi(const QList<rekord>& pytania)
{
    QByteArray json;
    json.reserve(32 * pytania.size() + 256);
    json += '[';
    for (const rekord& r : pytania) {
        const Pytanie p = Pytanie::zRekordu(r);
        if (json.size() > 1)
            json += ',';
        switch (reguly::typNaStronie(p)) {
        case Pytanie::Typ::Opcja:
            // An answer the page does not show can never be chosen: such a question is never right.
            json += "[1,";
            dopiszStale(json, QByteArray::number(reguly::opcjaNaStronie(p).value_or(-1)), 2);
            break;
        case Pytanie::Typ::Tekst:
            json += "[2,";
            dopiszWzor(json, p.wzor());
            break;
        default:
            json += "[0";
            for (int k = 0; k < reguly::odpowiedziNaStronie; ++k) {
                json += ',';
                dopiszStale(json, QByteArray::number(p.znaczniki[k]), 6); // -32768
            }
        }
        json += ']';
    }
    json += ']';
    json.append((256 - json.size() % 256) % 256, ' ');
    return json;
}

// A shuffled page moves each answer with what follows its button, and the default block puts a
// space before the fourth answer alone: it would travel with that answer and tell which it was.
QString blokStrony(const rekord& r, int nr, bool losowo)
{
    QString block = blok(r, nr).blokpytania;
    const Pytanie p = Pytanie::zRekordu(r);
    if (losowo && reguly::typNaStronie(p) == Pytanie::Typ::Opcja) {
        // The block ends with the fourth button, the space, the answer and "</FORM></TR>".
        const qsizetype at = block.size() - 12 - p.odpowiedzi[3].size() - 1;
        Q_ASSERT(block.at(at) == QLatin1Char(' ') && block.at(at - 1) == QLatin1Char('>'));
        block.remove(at, 1);
    }
    return block;
}

} // namespace

Pieczec Pieczec::nowa(bool losowo)
{
    Pieczec p;
    p.losowo = losowo;
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    p.sol = QByteArray(reinterpret_cast<const char*>(words), 16);
    p.nonce = QByteArray(reinterpret_cast<const char*>(words) + 16, 16);
    return p;
}

QString numerKopii(int kopia)
{
    return QStringLiteral("%1").arg(kopia, 2, 10, QLatin1Char('0'));
}

QString zapieczetowana(const QList<rekord>& pytania, const QString& seconds, const QString& code,
                       const Pieczec& p)
{
    return zapieczetowanaKluczem(pytania, seconds, pieczec::klucz(code, p.sol, p.iteracje), p);
}

QString zapieczetowanaKluczem(const QList<rekord>& pytania, const QString& seconds, const QByteArray& klucz,
                              const Pieczec& p)
{
    const pieczec::Zamkniete z = pieczec::zamknij(klucz, p.nonce, odpowiedzi(pytania));
    QString blocks;
    blocks.reserve(700 * pytania.size());
    for (qsizetype i = 0; i < pytania.size(); ++i)
        blocks += blokStrony(pytania.at(i), int(i + 1), p.losowo);

    const QString head = naglowek(seconds);
    const QString data = QStringLiteral("var pieczec={s:\"%1\",n:\"%2\",i:%3,m:%4,l:%5,%6t:\"%7\",d:\"")
                             .arg(QLatin1String(p.sol.toHex()), QLatin1String(p.nonce.toHex()))
                             .arg(p.iteracje)
                             .arg(pytania.size())
                             .arg(p.losowo ? 1 : 0)
                             .arg(p.kopia ? QStringLiteral("k:\"%1\",").arg(numerKopii(p.kopia)) : QString())
                             .arg(QLatin1String(z.znacznik.toHex()));
    const QByteArray cipher = z.szyfr.toHex();

    QString page;
    page.reserve(head.size() + data.size() + cipher.size() + skrypt().size() + ogonZapieczetowany().size() +
                 blocks.size() + stopkaZapieczetowana().size() + 8);
    page += head;
    page += data;
    page += QLatin1String(cipher);
    page += QStringLiteral("\"};\r");
    page += skrypt();
    if (p.kopia) // the instructor reads which code to type
        page +=
            QString(ogonZapieczetowany())
                .replace(QStringLiteral("<H1>Test</H1>"),
                         QStringLiteral("<H1>Test</H1><P><B>Kopia nr %1</B></P>").arg(numerKopii(p.kopia)));
    else
        page += ogonZapieczetowany();
    page += blocks;
    page += stopkaZapieczetowana();
    return page;
}

} // namespace strona
