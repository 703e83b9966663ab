#include "output/PostScriptProlog.h"

#include <string>

namespace zavora {

namespace {

// Written with LF in the source; converted to CR LF once.
constexpr std::string_view kProcSet = R"PS(/definepattern { % width height matrix proc key cache -> font
  12 dict begin
  /PatCache exch def
  /PatKey exch def
  /PatProc exch def
  /FontMatrix exch matrix invertmatrix def
  /PatHeight exch def
  /PatWidth exch def
  /FontType 3 def
  /FontBBox [0 0 PatWidth PatHeight] def
  /Encoding 256 array def
  0 1 255 { Encoding exch /.notdef put } for
  Encoding 120 /x put
  /BuildChar {
    exch begin pop
    PatWidth 0 0 0 PatWidth PatHeight
    PatCache { setcachedevice } { pop pop pop pop setcharwidth } ifelse
    newpath 0 0 moveto PatWidth 0 lineto PatWidth PatHeight lineto 0 PatHeight lineto
    closepath clip newpath
    PatProc
    end
  } bind def
  PatKey currentdict end definefont
} bind def
/patdict 12 dict def
/patternpath { % llx lly urx ury, a pattern font current: rows of tiles over the box
  patdict begin
  /ury exch def /urx exch def /lly exch def /llx exch def
  /tw (x) stringwidth pop def
  /th 0 currentfont /PatHeight get currentfont /FontMatrix get dtransform exch pop def
  tw 0 gt th 0 gt and {
    /row 32 string def
    0 1 31 { row exch 120 put } for
    /rowlen tw 32 mul def
    lly th div floor th mul th ury {
      /ty exch def
      llx tw div floor tw mul rowlen urx {
        ty transform round exch round exch itransform moveto row show
      } for
    } for
  } if
  end
} bind def
/patternfill { % font
  gsave
  setfont
  eoclip clippath pathbbox newpath
  patternpath
  grestore
  newpath
} bind def
/hascolorimage /colorimage where { pop true } { false } ifelse def
/imgstr 768 string def
/greystr 256 string def
/img { % matrix w h
  /imgh exch def /imgw exch def
  gsave
  concat
  imgw 0 gt imgh 0 gt and {
    imgw imgh 8 [imgw 0 0 imgh neg 0 imgh]
    hascolorimage {
      { currentfile imgstr readhexstring pop } false 3 colorimage
    } {
      { currentfile imgstr readhexstring pop pop
        0 1 255 {
          greystr exch dup 3 mul
          imgstr 1 index get 30 mul
          imgstr 2 index 1 add get 59 mul add
          imgstr 3 -1 roll 2 add get 11 mul add
          100 idiv put
        } for
        greystr
      } image
    } ifelse
  } if
  grestore
} bind def
/arrowshapes [
  { -1 2 rlineto 7 -2 rlineto -7 -2 rlineto }
  { 0 3 rlineto 9 -3 rlineto -9 -3 rlineto }
  { 0 -0.5 rlineto -6 -6 rlineto -1.4142 1.4142 rlineto 5.0858 5.0858 rlineto
    -5.0858 5.0858 rlineto 1.4142 1.4142 rlineto 6 -6 rlineto }
  { 0 0.5 rlineto -7 1.5 rlineto 1 -2 rlineto -1 -2 rlineto 7 1.5 rlineto }
  { 0 -0.5 rlineto -9 -2.5 rlineto 0 6 rlineto 9 -2.5 rlineto }
  { 3 0 moveto 0 0 3 0 360 arc }
  { 2.5 2.5 rmoveto 0 -5 rlineto -5 0 rlineto 0 5 rlineto }
] def
/arrowhead { % linewidth px py tx ty, arrowtype set
  gsave
  newpath [] 0 setdash
  strokeC strokeM strokeY strokeK setcmykcolor
  2 copy translate
  3 -1 roll sub 3 1 roll exch sub
  2 copy 0 eq exch 0 eq and { pop pop 0 } { atan } ifelse rotate
  dup scale
  arrowtype 0 ge arrowtype arrowshapes length lt and {
    0 0 moveto arrowshapes arrowtype get exec closepath fill
  } if
  grestore
} bind def
/setcmykcolor where { pop } {
  /setcmykcolor { % c m y k, for interpreters without colour operators
    4 1 roll
    3 { 3 index add dup 1 gt { pop 1 } if 1 exch sub 3 1 roll } repeat
    setrgbcolor pop
  } bind def
} ifelse
/RE { % differences /newname /fontname
  findfont dup length dict begin
  { 1 index /FID ne { def } { pop pop } ifelse } forall
  exch dup length 0 gt {
    /Encoding Encoding 256 array copy def
    0 exch {
      dup type /nametype eq { Encoding 2 index 2 index put pop 1 add } { exch pop } ifelse
    } forall pop
  } { pop } ifelse
  dup /FontName exch def
  currentdict end definefont pop
} bind def
/spacecount { % string -> string count
  0 1 index { 32 eq { 1 add } if } forall
} bind def
/WinAnsiEncoding [
  39 /quotesingle 96 /grave
  128 /Euro /.notdef /quotesinglbase /florin /quotedblbase /ellipsis /dagger /daggerdbl /circumflex
  /perthousand /Scaron /guilsinglleft /OE /.notdef /Zcaron /.notdef /.notdef /quoteleft
  /quoteright /quotedblleft /quotedblright /bullet /endash /emdash /tilde /trademark /scaron
  /guilsinglright /oe /.notdef /zcaron /Ydieresis /space /exclamdown /cent /sterling /currency
  /yen /brokenbar /section /dieresis /copyright /ordfeminine /guillemotleft /logicalnot /hyphen
  /registered /macron /degree /plusminus /twosuperior /threesuperior /acute /mu /paragraph
  /periodcentered /cedilla /onesuperior /ordmasculine /guillemotright /onequarter /onehalf
  /threequarters /questiondown /Agrave /Aacute /Acircumflex /Atilde /Adieresis /Aring /AE
  /Ccedilla /Egrave /Eacute /Ecircumflex /Edieresis /Igrave /Iacute /Icircumflex /Idieresis /Eth
  /Ntilde /Ograve /Oacute /Ocircumflex /Otilde /Odieresis /multiply /Oslash /Ugrave /Uacute
  /Ucircumflex /Udieresis /Yacute /Thorn /germandbls /agrave /aacute /acircumflex /atilde
  /adieresis /aring /ae /ccedilla /egrave /eacute /ecircumflex /edieresis /igrave /iacute
  /icircumflex /idieresis /eth /ntilde /ograve /oacute /ocircumflex /otilde /odieresis /divide
  /oslash /ugrave /uacute /ucircumflex /udieresis /yacute /thorn /ydieresis
] def
/SymbolEncoding [
  32 /space /exclam /universal /numbersign /existential /percent /ampersand /suchthat /parenleft
  /parenright /asteriskmath /plus /comma /minus /period /slash /zero /one /two /three /four /five
  /six /seven /eight /nine /colon /semicolon /less /equal /greater /question /congruent /Alpha
  /Beta /Chi /Delta /Epsilon /Phi /Gamma /Eta /Iota /theta1 /Kappa /Lambda /Mu /Nu /Omicron /Pi
  /Theta /Rho /Sigma /Tau /Upsilon /sigma1 /Omega /Xi /Psi /Zeta /bracketleft /therefore
  /bracketright /perpendicular /underscore /radicalex /alpha /beta /chi /delta /epsilon /phi
  /gamma /eta /iota /phi1 /kappa /lambda /mu /nu /omicron /pi /theta /rho /sigma /tau /upsilon
  /omega1 /omega /xi /psi /zeta /braceleft /bar /braceright /similar
  160 /Euro /Upsilon1 /minute /lessequal /fraction /infinity /florin /club /diamond /heart /spade
  /arrowboth /arrowleft /arrowup /arrowright /arrowdown /degree /plusminus /second /greaterequal
  /multiply /proportional /partialdiff /bullet /divide /notequal /equivalence /approxequal
  /ellipsis /arrowvertex /arrowhorizex /carriagereturn /aleph /Ifraktur /Rfraktur /weierstrass
  /circlemultiply /circleplus /emptyset /intersection /union /propersuperset /reflexsuperset
  /notsubset /propersubset /reflexsubset /element /notelement /angle /gradient /registerserif
  /copyrightserif /trademarkserif /product /radical /dotmath /logicalnot /logicaland /logicalor
  /arrowdblboth /arrowdblleft /arrowdblup /arrowdblright /arrowdbldown /lozenge /angleleft
  /registersans /copyrightsans /trademarksans /summation /parenlefttp /parenleftex /parenleftbt
  /bracketlefttp /bracketleftex /bracketleftbt /bracelefttp /braceleftmid /braceleftbt /braceex
  241 /angleright /integral /integraltp /integralex /integralbt /parenrighttp /parenrightex
  /parenrightbt /bracketrighttp /bracketrightex /bracketrightbt /bracerighttp /bracerightmid
  /bracerightbt
] def
/patarray [/leftdiagonal /rightdiagonal /crossdiagonal /horizontal /vertical /crosshatch
  /fishscale /wave /brick] def
/arrowtype 0 def
/fillC 0 def /fillM 0 def /fillY 0 def /fillK 0 def
/strokeC 0 def /strokeM 0 def /strokeY 0 def /strokeK 1 def
/pattern -1 def
/mat1 matrix def
/mat2 matrix def
/nesting 0 def
/deferred /N def
/align 0 def
/leading 0 def
/jwidth 0 def
/m /moveto load def
/L /lineto load def
/c /curveto load def
/C /curveto load def
/n { closepath N } bind def
/w /setlinewidth load def
/d /setdash load def
/k { /fillK exch def /fillY exch def /fillM exch def /fillC exch def } bind def
/K { /strokeK exch def /strokeY exch def /strokeM exch def /strokeC exch def } bind def
/Pat { /pattern exch def } bind def
/F {
  nesting 0 eq {
    fillC fillM fillY fillK setcmykcolor
    pattern 0 ge pattern patarray length lt and {
      gsave eofill grestore
      gsave 0 0 0 1 setcmykcolor patarray pattern get findfont patternfill grestore
      newpath
    } { eofill } ifelse
  } { /deferred /F def } ifelse
} bind def
/f { closepath F } bind def
/S {
  nesting 0 eq {
    strokeC strokeM strokeY strokeK setcmykcolor stroke
  } { /deferred /S def } ifelse
} bind def
/s { closepath S } bind def
/B { nesting 0 eq { gsave F grestore S } { /deferred /B def } ifelse } bind def
/b { closepath B } bind def
/N { nesting 0 eq { newpath } { /deferred /N def } ifelse } bind def
/u {} def
/U {} def
/*u { /nesting nesting 1 add def } def
/*U {
  /nesting nesting 1 sub def
  nesting 0 le { /nesting 0 def deferred cvx exec /deferred /N def } if
} def
/q { mat2 currentmatrix pop } bind def
/Q { mat2 setmatrix } bind def
/cm { 6 array astore concat } bind def
/Ov { % rx ry cx cy matrix
  mat1 currentmatrix pop
  concat translate scale
  1 0 moveto 0 0 1 0 360 arc closepath
  mat1 setmatrix
} bind def
/Arc { % a1 a2 rx ry cx cy
  mat1 currentmatrix pop
  translate scale
  1 index cos 2 index sin moveto
  0 0 1 5 -2 roll arc
  mat1 setmatrix
} bind def
/Bx { % x2 y2 x1 y1 matrix
  mat1 currentmatrix pop
  concat
  2 copy moveto
  1 index 3 index lineto
  3 index 3 index lineto
  3 index 1 index lineto
  pop pop pop pop
  mat1 setmatrix
} bind def
/rrdict 10 dict def
rrdict begin
/rrmat matrix def
/rrcorner { % cx cy a1 a2: quarter arc of radii rx ry
  rrmat currentmatrix pop
  4 2 roll translate rx ry scale
  0 0 1 5 -2 roll arc
  rrmat setmatrix
} bind def
end
/Rr { % y1 y2 x1 x2 rx ry matrix
  mat1 currentmatrix pop
  concat
  rrdict begin
  abs /ry exch def abs /rx exch def
  2 copy gt { exch } if /x2 exch def /x1 exch def
  2 copy gt { exch } if /y2 exch def /y1 exch def
  /rx rx x2 x1 sub 2 div 2 copy gt { exch } if pop def
  /ry ry y2 y1 sub 2 div 2 copy gt { exch } if pop def
  rx 0 gt ry 0 gt and {
    x1 rx add y2 moveto
    x1 rx add y2 ry sub 90 180 rrcorner
    x1 rx add y1 ry add 180 270 rrcorner
    x2 rx sub y1 ry add 270 360 rrcorner
    x2 rx sub y2 ry sub 0 90 rrcorner
  } {
    x1 y1 moveto x1 y2 lineto x2 y2 lineto x2 y1 lineto
  } ifelse
  closepath
  end
  mat1 setmatrix
} bind def
/Ah { % px py tx ty code end
  pop /arrowtype exch def
  currentlinewidth 5 1 roll arrowhead
} bind def
/z { % /fontname size leading 0 align
  /align exch def pop /leading exch def
  exch findfont exch scalefont setfont
} bind def
/e { gsave concat 0 0 moveto } bind def
/tbx { pop exch pop sub /jwidth exch def } def
/tshow { % string mode: 0 left, 1 centred, 2 right, 3 justified to jwidth
  fillC fillM fillY fillK setcmykcolor
  dup 1 eq { pop dup stringwidth pop -2 div 0 rmoveto show } {
    dup 2 eq { pop dup stringwidth pop neg 0 rmoveto show } {
      3 eq {
        spacecount dup 0 gt {
          jwidth 2 index stringwidth pop sub exch div 0 32 4 -1 roll widthshow
        } { pop show } ifelse
      } { show } ifelse
    } ifelse
  } ifelse
  0 leading neg translate 0 0 moveto
} bind def
/t { align tshow } bind def
/Tx { align 3 eq { 0 } { align } ifelse tshow } bind def
/TX { pop } bind def
/T { grestore } bind def
)PS";

constexpr std::string_view kPatternFonts = R"PS(15 15 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  7.5 0 moveto 15 7.5 lineto
  0 7.5 moveto 7.5 15 lineto
  2 setlinewidth stroke
} bind
/rightdiagonal true definepattern pop

15 15 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  7.5 0 moveto 0 7.5 lineto
  15 7.5 moveto 7.5 15 lineto
  2 setlinewidth stroke
} bind
/leftdiagonal true definepattern pop

15 15 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  0 7.5 moveto 15 7.5 lineto
  2 setlinewidth stroke
} bind
/horizontal true definepattern pop

15 15 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  7.5 0 moveto 7.5 15 lineto
  2 setlinewidth stroke
} bind
/vertical true definepattern pop

15 15 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  0 7.5 moveto 15 7.5 lineto
  7.5 0 moveto 7.5 15 lineto
  2 setlinewidth stroke
} bind
/crosshatch true definepattern pop

30 30 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 setlinecap
  0 7.5 moveto 30 7.5 lineto
  0 22.5 moveto 30 22.5 lineto
  7.5 0 moveto 7.5 7.5 lineto
  7.5 22.5 moveto 7.5 30 lineto
  22.5 7.5 moveto 22.5 22.5 lineto
  1 setlinewidth stroke
} bind
/brick true definepattern pop

30 30 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 2 scale
  2 setlinecap
  7.5 0 moveto 15 7.5 lineto
  0 7.5 moveto 7.5 15 lineto
  7.5 0 moveto 0 7.5 lineto
  15 7.5 moveto 7.5 15 lineto
  0.5 setlinewidth stroke
} bind
/crossdiagonal true definepattern pop

30 30 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  2 2 scale
  1 setlinecap
  0 7.5 moveto 0 15 7.5 270 360 arc
  7.5 15 moveto 15 15 7.5 180 270 arc
  0 7.5 moveto 7.5 7.5 7.5 180 360 arc
  0.5 setlinewidth stroke
} bind
/fishscale true definepattern pop

30 30 [300 72 div 0 0 300 72 div 0 0]
{ %definepattern
  1 setlinecap 0.5 setlinewidth
  7.5 0 10.6 135 45 arcn
  22.5 15 10.6 225 315 arc
  stroke
  7.5 15 10.6 135 45 arcn
  22.5 30 10.6 225 315 arc
  stroke
} bind
/wave true definepattern pop

)PS";

// A form's images are arrays of grey row strings defined before its
// PaintProc, since a form cannot read image data from the file when it runs.
constexpr std::string_view kFormImage = R"PS(/imga { % rows matrix w h
  /imgh exch def /imgw exch def
  gsave
  concat
  /imgrows exch def /imgrow 0 def
  imgw 0 gt imgh 0 gt and imgrows length imgh ge and {
    imgw imgh 8 [imgw 0 0 imgh neg 0 imgh]
    { imgrows imgrow get /imgrow imgrow 1 add def } image
  } if
  grestore
} bind def
)PS";

std::string withCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char ch : text) {
        if (ch == '\n')
            out += '\r';
        out += ch;
    }
    return out;
}

} // namespace

std::string_view postScriptProcSet()
{
    static const std::string text = withCrLf(kProcSet);
    return text;
}

std::string_view postScriptFormProcSet()
{
    static const std::string text = [] {
        std::string procSet(kProcSet);
        const std::size_t start = procSet.find("/img {");
        const std::size_t end = procSet.find("/arrowshapes");
        procSet.replace(start, end - start, kFormImage);
        return withCrLf(procSet);
    }();
    return text;
}

std::string_view postScriptPatternFonts()
{
    static const std::string text = withCrLf(kPatternFonts);
    return text;
}

} // namespace zavora
