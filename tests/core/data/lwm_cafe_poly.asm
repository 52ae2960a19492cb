;  Café  /  By: A. Builder
;  Test mask
;  FS Coordinates:    47 30.00   -122 15.50
;  LWM Land Mask File
;  The next two files MUST be included within the same directory as
;  BGLC.exe when this file is assembled (compiled).
;
include TDFHeaders.inc
include TDFMacros.inc
;
;----> Begin Header Section <----
  BGLHeader        48, 46, -121, -123, LWMHeader, TerrainHeaderStart
;
LWMHeader        label        word
;
  LWMFileHeader 513, LWMIndexStart, LWMStart, LWMEnd
;
LWMStart           label        word
;----> End Header Section <----
;
;----> Begin Cell_123_120's ----> Area (LOD 13) data information <----
datamark_0        label        word
;
  LWMDataAreaDrawPolygons 1, 3, 1, 5, 28
;
  LWMPoly2  03, 0, 1, 0, 0
;
LWMPoint  10,  20
LWMPoint  200,  20
LWMPoint  100,  180

;
datamark_1        label        word   ;----> This line goes under all Areas used in Cell_123_120
;----> End Cell_123_120's  Area (LOD 13) data information <----
;
;----> Begin Cell_123_120's defination data information <----
Cell_123_120       EQU        LWMCellID   0, 0, 3, 123, 120
;
LWMIndexStart        label        word
;
  LWMIndexHeader   1, LWMIndexData
;
LWMIndexData         label        word
;
  LWMIndexEntry      Cell_123_120, LWMStart, datamark_0, datamark_1
;----> End Cell_123_120's defination data information <----
;
;----> The next line below ENDS this file <----
LWMEnd        label        word

