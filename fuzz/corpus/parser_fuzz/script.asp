<%@ Language=JavaScript Codepage=65001 %>
<a/>