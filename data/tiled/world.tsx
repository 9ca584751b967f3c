<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="world" tilewidth="45" tileheight="54" tilecount="43" columns="0">
 <grid orientation="orthogonal" width="1" height="1"/>
 <tile id="1">
  <properties>
   <property name="tileType" type="int" value="1"/>
  </properties>
  <image width="21" height="21" source="tiles/1.png"/>
 </tile>
 <tile id="2">
  <properties>
   <property name="tileType" type="int" value="2"/>
  </properties>
  <image width="21" height="21" source="tiles/2.png"/>
 </tile>
 <tile id="3">
  <properties>
   <property name="tileType" type="int" value="3"/>
  </properties>
  <image width="21" height="21" source="tiles/3.png"/>
 </tile>
 <tile id="4">
  <properties>
   <property name="tileType" type="int" value="4"/>
  </properties>
  <image width="21" height="21" source="tiles/4.png"/>
 </tile>
 <tile id="5">
  <properties>
   <property name="tileType" type="int" value="5"/>
  </properties>
  <image width="21" height="21" source="tiles/5.png"/>
 </tile>
 <tile id="6">
  <properties>
   <property name="tileType" type="int" value="6"/>
  </properties>
  <image width="21" height="21" source="tiles/6.png"/>
 </tile>
 <tile id="7">
  <properties>
   <property name="tileType" type="int" value="7"/>
  </properties>
  <image width="21" height="21" source="tiles/7.png"/>
 </tile>
 <tile id="8">
  <properties>
   <property name="tileType" type="int" value="8"/>
  </properties>
  <image width="21" height="21" source="tiles/8.png"/>
 </tile>
 <tile id="9">
  <properties>
   <property name="tileType" type="int" value="9"/>
  </properties>
  <image width="21" height="21" source="tiles/9.png"/>
 </tile>
 <tile id="10">
  <properties>
   <property name="tileType" type="int" value="10"/>
  </properties>
  <image width="21" height="21" source="tiles/10.png"/>
 </tile>
 <tile id="11">
  <properties>
   <property name="tileType" type="int" value="11"/>
  </properties>
  <image width="21" height="21" source="tiles/11.png"/>
 </tile>
 <tile id="12">
  <properties>
   <property name="tileType" type="int" value="12"/>
  </properties>
  <image width="21" height="21" source="tiles/12.png"/>
 </tile>
 <tile id="13">
  <properties>
   <property name="tileType" type="int" value="13"/>
  </properties>
  <image width="21" height="21" source="tiles/13.png"/>
 </tile>
 <tile id="14">
  <properties>
   <property name="tileType" type="int" value="14"/>
  </properties>
  <image width="21" height="21" source="tiles/14.png"/>
 </tile>
 <tile id="15">
  <properties>
   <property name="tileType" type="int" value="15"/>
  </properties>
  <image width="21" height="21" source="tiles/15.png"/>
 </tile>
 <tile id="16">
  <properties>
   <property name="tileType" type="int" value="16"/>
  </properties>
  <image width="21" height="21" source="tiles/16.png"/>
 </tile>
 <tile id="20">
  <properties>
   <property name="tileType" type="int" value="20"/>
  </properties>
  <image width="21" height="21" source="tiles/20.png"/>
 </tile>
 <tile id="21">
  <properties>
   <property name="tileType" type="int" value="21"/>
  </properties>
  <image width="21" height="21" source="tiles/21.png"/>
 </tile>
 <tile id="22">
  <properties>
   <property name="tileType" type="int" value="22"/>
  </properties>
  <image width="21" height="21" source="tiles/22.png"/>
 </tile>
 <tile id="23">
  <properties>
   <property name="tileType" type="int" value="23"/>
  </properties>
  <image width="21" height="21" source="tiles/23.png"/>
 </tile>
 <tile id="24">
  <properties>
   <property name="tileType" type="int" value="24"/>
  </properties>
  <image width="21" height="21" source="tiles/24.png"/>
 </tile>
 <tile id="30">
  <properties>
   <property name="tileType" type="int" value="30"/>
  </properties>
  <image width="21" height="21" source="tiles/30.png"/>
 </tile>
 <tile id="40">
  <properties>
   <property name="tileType" type="int" value="40"/>
  </properties>
  <image width="21" height="31" source="tiles/40.png"/>
 </tile>
 <tile id="50">
  <properties>
   <property name="tileType" type="int" value="50"/>
  </properties>
  <image width="21" height="21" source="tiles/50.png"/>
 </tile>
 <tile id="60">
  <properties>
   <property name="tileType" type="int" value="60"/>
  </properties>
  <image width="45" height="19" source="tiles/60.png"/>
 </tile>
 <tile id="61">
  <properties>
   <property name="tileType" type="int" value="61"/>
  </properties>
  <image width="27" height="12" source="tiles/61.png"/>
 </tile>
 <tile id="62">
  <properties>
   <property name="tileType" type="int" value="62"/>
  </properties>
  <image width="13" height="7" source="tiles/62.png"/>
 </tile>
 <tile id="63">
  <properties>
   <property name="tileType" type="int" value="63"/>
  </properties>
  <image width="7" height="12" source="tiles/63.png"/>
 </tile>
 <tile id="64">
  <properties>
   <property name="tileType" type="int" value="64"/>
  </properties>
  <image width="7" height="12" source="tiles/64.png"/>
 </tile>
 <tile id="65">
  <properties>
   <property name="tileType" type="int" value="65"/>
  </properties>
  <image width="27" height="14" source="tiles/65.png"/>
 </tile>
 <tile id="66">
  <properties>
   <property name="tileType" type="int" value="66"/>
  </properties>
  <image width="13" height="7" source="tiles/66.png"/>
 </tile>
 <tile id="67">
  <properties>
   <property name="tileType" type="int" value="67"/>
  </properties>
  <image width="17" height="19" source="tiles/67.png"/>
 </tile>
 <tile id="68">
  <properties>
   <property name="tileType" type="int" value="68"/>
  </properties>
  <image width="11" height="10" source="tiles/68.png"/>
 </tile>
 <tile id="69">
  <properties>
   <property name="tileType" type="int" value="69"/>
  </properties>
  <image width="33" height="54" source="tiles/69.png"/>
 </tile>
 <tile id="70">
  <properties>
   <property name="tileType" type="int" value="70"/>
  </properties>
  <image width="7" height="7" source="tiles/70.png"/>
 </tile>
 <tile id="71">
  <properties>
   <property name="tileType" type="int" value="71"/>
  </properties>
  <image width="25" height="25" source="tiles/71.png"/>
 </tile>
 <tile id="72">
  <properties>
   <property name="tileType" type="int" value="72"/>
  </properties>
  <image width="21" height="13" source="tiles/72.png"/>
 </tile>
 <tile id="73">
  <properties>
   <property name="tileType" type="int" value="73"/>
  </properties>
  <image width="15" height="26" source="tiles/73.png"/>
 </tile>
 <tile id="80">
  <properties>
   <property name="tileType" type="int" value="80"/>
  </properties>
  <image width="21" height="18" source="tiles/80.png"/>
 </tile>
 <tile id="81">
  <properties>
   <property name="tileType" type="int" value="81"/>
  </properties>
  <image width="21" height="35" source="tiles/81.png"/>
 </tile>
 <tile id="83">
  <properties>
   <property name="tileType" type="int" value="83"/>
  </properties>
  <image width="11" height="11" source="tiles/83.png"/>
 </tile>
 <tile id="84">
  <properties>
   <property name="tileType" type="int" value="84"/>
  </properties>
  <image width="21" height="7" source="tiles/84.png"/>
 </tile>
 <tile id="85">
  <properties>
   <property name="tileType" type="int" value="85"/>
  </properties>
  <image width="21" height="21" source="tiles/85.png"/>
 </tile>
</tileset>
