;    By: 
;  
;  FS Coordinates:    -00 00.00   -000 00.00
;  VTP Method2 Polygon
;  The next two files MUST be included within the same directory as
;  BGLC.exe when this file is assembled (compiled).
;
include TDFHeaders.inc
include TDFMacros.inc
;
;----> Begin Header Section <----
  BGLHeader          1, -1, 1, -1, TerrainHeaderStart, VTPHeader
;
VTPHeader        label        word
  VTPFileHeader  256, VTPIndexStart, TextureStart, VTPEnd
;----> End Header Section <----
;
;----> Start File Data <----
VTPStart        label        word
;
;----> Begin Cell ,   and Area ,   Data Point Information <----
datamark_v0        label        word
;
  VTPDataArea 1, 1, 0, 0
  VTPLayer , 0
  VTPNumTexturesInLayer 1, 0
  VTPTextureId 4, 0
  VTPPolyCount 1, 0
;
  VTPPolyMethod2 00, 0, 0
;

;
datamark_v1        label        word
;----> End Cell ,   and Area ,   Data Point Information <----
;
;----> Begin Cell__'s defination data information <----
  Cellv__       EQU        VTPCellID   0, , 
;
VTPIndexStart       label        word
  VTPIndexHeader  1, VTPIndexData, VTPStart
VTPIndexData        label        word
  VTPIndexEntry Cellv__, VTPStart, datamark_v0, datamark_v1
;----> End Cell__'s defination data information <----
;
;----> Begin Texture Information <----
TextureStart        label        word
  VTPTextureListHeader 5, TextureIndexStart, TextureDataStart, TextureDataEnd
;
TextureIndexStart        label        word
  VTPTextureListEntry TextureDataStart, texturemark_0, texturemark_1
  VTPTextureListEntry TextureDataStart, texturemark_1, texturemark_2
  VTPTextureListEntry TextureDataStart, texturemark_2, texturemark_3
  VTPTextureListEntry TextureDataStart, texturemark_3, texturemark_4
  VTPTextureListEntry TextureDataStart, texturemark_4, texturemark_5
;
TextureDataStart  label        word
texturemark_0       label        word
    VTPTextureName 
    VTPTextureType 1, 0, 0, 4
texturemark_1       label        word
    VTPTextureName 
    VTPTextureType 1, 0, 0, 4
texturemark_2       label        word
    VTPTextureName 
    VTPTextureType 1, 0, 0, 4
texturemark_3       label        word
    VTPTextureName 
    VTPTextureType 1, 0, 0, 4
texturemark_4       label        word
    VTPTextureName 
    VTPTextureType 1, 0, 0, 4
texturemark_5       label        word
TextureDataEnd    label        word
;----> End Texture Information <----
;
;----> The next line below ENDS this file <----
VTPEnd        label        word

