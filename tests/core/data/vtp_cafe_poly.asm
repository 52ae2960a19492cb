;  Café  By: A. Builder
;  Test mask
;  FS Coordinates:    47 30.00   -122 15.50
;  VTP Method2 Polygon
;  The next two files MUST be included within the same directory as
;  BGLC.exe when this file is assembled (compiled).
;
include TDFHeaders.inc
include TDFMacros.inc
;
;----> Begin Header Section <----
  BGLHeader          48, 46, -121, -123, TerrainHeaderStart, VTPHeader
;
VTPHeader        label        word
  VTPFileHeader  256, VTPIndexStart, TextureStart, VTPEnd
;----> End Header Section <----
;
;----> Start File Data <----
VTPStart        label        word
;
;----> Begin Cell 123, 120  and Area 5, 28  Data Point Information <----
datamark_v0        label        word
;
  VTPDataArea 1, 1, 0, 0
  VTPLayer , 0
  VTPNumTexturesInLayer 1, 0
  VTPTextureId 4, 0
  VTPPolyCount 1, 0
;
  VTPPolyMethod2 03, 0, 0
;
VTPPointXY2  4600,  11240
VTPPointXY2  4650,  11260
VTPPointXY2  4710,  11310
;
datamark_v1        label        word
;----> End Cell 123, 120  and Area 5, 28  Data Point Information <----
;
;----> Begin Cell_123_120's defination data information <----
  Cellv_123_120       EQU        VTPCellID   0, 123, 120
;
VTPIndexStart       label        word
  VTPIndexHeader  1, VTPIndexData, VTPStart
VTPIndexData        label        word
  VTPIndexEntry Cellv_123_120, VTPStart, datamark_v0, datamark_v1
;----> End Cell_123_120's defination data information <----
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

