vti_encoding:SR|utf8-nl
vti_timelastmodified:TR|19 Nov 2026 08:05:12 -0000
vti_extenderversion:SR|5.0.2.2623
vti_title:SR|Contact us
vti_cacheddtm:TX|19 Nov 2026 08:05:12 -0000
vti_filesize:IR|705
vti_cachedneedsrewrite:BR|false
vti_cachedhasbots:BR|false
vti_cachedhastheme:BR|false
vti_cachedhasborder:BR|false
vti_cachedbodystyle:SR|<body>
vti_backlinkinfo:VX|index.htm
