* Conversões no lugar: o texto da variável é trocado pela sua forma nova.
seja x "ação"
ansiparautf8 x
seja t tamanho x
escreve "utf-8 com " t " bytes"
utf8paraansi x
escreve "de volta " x
seja e "€"
ansiparautf8 e
utf8paraansi e
seja t tamanho e
escreve "o euro fica com " t " bytes"
seja b "Olá, mundo"
codbase64 b
escreve b
decodbase64 b
escreve b
seja q "preço = 10"
adquoted q
escreve q
removequoted q
escreve q
* Arquivo para base64 e de volta: 49 bytes dão uma linha cheia e uma de dois caracteres.
abre #1 "fonte.txt" &
escreve #1 "Quarenta e nove bytes de texto para o teste, sim!" &
fecha #1
tamarq "fonte.txt" t
escreve "fonte com " t " bytes"
codarqbase64 "fonte.txt" "fonte.b64"
abre #2 "fonte.b64"
@LINHAS
le #2 l
checa c
se c = "1" desvia @FIM
escreve l
desvia @LINHAS
@FIM
fecha #2
decodarqbase64 "fonte.b64" "volta.txt"
abre #2 "volta.txt"
le #2 l
escreve l
fecha #2
* Sem variável não há onde guardar: falha.
codbase64 "texto"
