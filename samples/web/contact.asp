<%@ Language="VBScript" %>
<% Option Explicit
   Dim sent : sent = (Request.Form("message") <> "") %>
<html>
<head>
<meta charset="utf-8">
<title>Contact us</title>
<link rel="stylesheet" href="styles/site.css">
</head>
<body <% If sent Then %>class="sent" <% End If %>marginwidth="4" marginheight="4">
<h1>Contact us</h1>
<% If sent Then %>
<p>Thank you! We will answer within two days.</p>
<% Else %>
<form method="post" action="contact.asp">
<p>Your message:<br><textarea name="message" rows="5" cols="40"><body> is fine to type here</textarea></p>
<p><input type="submit" value="Send"></p>
</form>
<% End If %>
<p>Moss &amp; Maple, 12 Orchard Lane, Wrenfield</p>
</body>
</html>
