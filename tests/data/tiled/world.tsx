<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="t" tilewidth="21" tileheight="21" tilecount="4" columns="2">
 <image source="world.png" width="42" height="42"/>
 <tile id="0">
  <properties>
   <property name="tileType" type="int" value="10"/>
  </properties>
 </tile>
 <tile id="1">
  <properties>
   <property name="tileType" type="int" value="11"/>
  </properties>
 </tile>
 <tile id="2">
  <properties>
   <property name="solid" type="bool" value="true"/>
  </properties>
 </tile>
</tileset>
