;    /  By: 
;  
;  FS Coordinates:    -00 00.00   -000 00.00
;  LWM Water Mask File
;  The next two files MUST be included within the same directory as
;  BGLC.exe when this file is assembled (compiled).
;
include TDFHeaders.inc
include TDFMacros.inc
;
;----> Begin Header Section <----
  BGLHeader        1, -1, 1, -1, LWMHeader, TerrainHeaderStart
;
LWMHeader        label        word
;
  LWMFileHeader 513, LWMIndexStart, LWMStart, LWMEnd
;
LWMStart           label        word
;----> End Header Section <----
;
;----> Begin Cell__'s ----> Area (LOD 13) data information <----
datamark_0        label        word
;
  LWMDataAreaDrawPolygons 1, 3, 1, , 
;
  LWMPoly2  00, 0, 0, , 0
;

;
datamark_1        label        word   ;----> This line goes under all Areas used in Cell__
;----> End Cell__'s  Area (LOD 13) data information <----
;
;----> Begin Cell__'s defination data information <----
Cell__       EQU        LWMCellID   0, 0, 3, , 
;
LWMIndexStart        label        word
;
  LWMIndexHeader   1, LWMIndexData
;
LWMIndexData         label        word
;
  LWMIndexEntry      Cell__, LWMStart, datamark_0, datamark_1
;----> End Cell__'s defination data information <----
;
;----> The next line below ENDS this file <----
LWMEnd        label        word

